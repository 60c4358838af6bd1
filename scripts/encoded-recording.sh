#!/usr/bin/env bash
# From an encoded recording to a clean file, as a user goes: ffmpeg makes a
# 30-second 1080p H.264 transport stream (a fractal zoom, a cellular
# automaton, slow gradients with an advert break, a still test card, noise
# throughout) with a semi-transparent yellow logo burned in; the README's two
# commands then find the logo and remove it, and ffmpeg measures what is left
# in the logo's box against the pictures before the logo and the encoding,
# next to ffmpeg's delogo on the same region. Writes docs/encoded-recording.md
# and a picture. Not a test: it takes a few minutes.
#
#   scripts/encoded-recording.sh [WORK_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh release >/dev/null
root=$PWD
pramvix=$root/build/release/cli/pramvix
work="${1:-$(mktemp -d)}"
mkdir -p "$work"
[ -n "${1:-}" ] || trap 'rm -rf "$work"' EXIT  # a directory of its own: gone afterwards
cd "$work"  # the report names the files as a user's would be
q=(-hide_banner -loglevel error -y)

# The pictures before the logo, the same in every run (the random source
# seeded; ffmpeg's own gradients are not the same from run to run).
source="mandelbrot=s=1920x1080:r=25,trim=duration=8[m];
life=s=480x270:r=25:mold=10:ratio=0.1:seed=7:death_color=#203040:life_color=#c0d0a0,scale=1920:1080:flags=neighbor,trim=duration=6[l];
color=s=480x270:r=25,format=yuv444p,geq=lum='70+90*X/W+25*sin(T*0.7+Y/H*2)':cb='128+45*sin(Y/H*3+T*0.3)':cr='128+45*cos(X/W*2-T*0.2)',scale=1920:1080:flags=bicubic,trim=duration=8[g];
testsrc2=s=1920x1080:r=25,trim=duration=8[t];
[m][l][g][t]concat=n=4:v=1:a=0,format=yuv422p,noise=alls=3:allf=t"
# The logo, 180x80 with its drawing at 13-142 x 13-66: a disc and two bars,
# anti-aliased, yellow at 65 % opacity; placed at 1690,48, absent from 16 s
# to 20 s (the advert break).
disc='clip(26.5-hypot(X-40\,Y-40)\,0\,1)'
bar1='clip(min(min(X-84\,96-X)\,min(Y-16\,64-Y))+0.5\,0\,1)'
bar2='clip(min(min(X-100\,142-X)\,min(Y-34\,46-Y))+0.5\,0\,1)'
ffmpeg "${q[@]}" -f lavfi -i "color=c=black@0:s=180x80,format=rgba,geq=r=255:g=210:b=40:a='166*max($disc\,max($bar1\,$bar2))'" \
  -frames:v 1 "logo-drawn.png"
ffmpeg "${q[@]}" -f lavfi -i "$source" -i "logo-drawn.png" -f lavfi -i "sine=f=440:d=30" \
  -filter_complex "[0][1]overlay=x=1690:y=48:enable='not(between(t,16,20))':format=yuv422,format=yuv420p[v]" \
  -map "[v]" -map 2:a -c:v libx264 -preset fast -crf 21 -g 12 -c:a aac -f mpegts "in.ts"

# The README's two commands.
start=$(date +%s.%N)
ffmpeg -hide_banner -loglevel error -skip_frame nokey -i "in.ts" -fps_mode passthrough -pix_fmt yuv422p -f yuv4mpegpipe - \
  | "$pramvix" logo - -o "logo.png" --preview "preview.png" >"logo.txt"
found=$(date +%s.%N)
cat "logo.txt"
args=$(sed -n 's/^  pramvix NoLogoColor [^ ]* [^ ]* \(.*\) -o .*/\1/p' "logo.txt")
read -r _ _ rx ry rw rh _ <<<"$args"
ffmpeg -hide_banner -loglevel error -i "in.ts" -map 0:v -pix_fmt yuv422p -f yuv4mpegpipe - \
  | "$pramvix" NoLogoColor - "logo.png" $args \
  | ffmpeg "${q[@]}" -i - -i "in.ts" -map 0:v -map '1:a?' -c:v libx264 -crf 18 -pix_fmt yuv420p -c:a copy "out.mkv"
cleaned=$(date +%s.%N)
# ffmpeg's delogo on the same region, encoded the same way.
ffmpeg "${q[@]}" -i "in.ts" -map 0:v -vf "delogo=x=$rx:y=$ry:w=$rw:h=$rh" -c:v libx264 -crf 18 -pix_fmt yuv420p "delogo.mkv"

# PSNR of a box against the pictures before the logo, over the frames that
# show the logo.
psnr() {  # FILE X Y W H
  ffmpeg -hide_banner -nostats -i "$1" -f lavfi -i "$source" -lavfi \
    "[0:v]setpts=PTS-STARTPTS,format=yuv420p,select='not(between(n\,400\,499))',crop=$4:$5:$2:$3[a];[1:v]setpts=PTS-STARTPTS,format=yuv420p,select='not(between(n\,400\,499))',crop=$4:$5:$2:$3[b];[a][b]psnr" \
    -f null - 2>&1 | sed -n 's/.*PSNR y:\([0-9.inf]*\) u:\([0-9.inf]*\) v:\([0-9.inf]*\).*/\1 \2 \3/p' | awk '{ printf "%.1f %.1f %.1f", $1, $2, $3 }'
}
row() {  # TITLE FILE
  read -r y u v <<<"$(psnr "$2" 1700 58 132 60)"
  read -r fy _ _ <<<"$(psnr "$2" 1700 258 132 60)"
  echo "| $1 | $y | $u | $v | $fy |"
}
table=$(
  row "the recording, logo and all (\`in.ts\`)" "in.ts"
  row "after \`pramvix NoLogoColor\` with what \`pramvix logo\` found" "out.mkv"
  row "after ffmpeg's \`delogo\` on the same region" "delogo.mkv"
)

# Frame 60 around the logo: the recording, NoLogoColor's result, delogo's,
# and the picture before the logo.
crop="setpts=PTS-STARTPTS,select=eq(n\,60),crop=200:100:1680:40,scale=400:200:flags=neighbor"
ffmpeg "${q[@]}" -i "in.ts" -i "out.mkv" -i "delogo.mkv" -f lavfi -i "$source" -filter_complex \
  "[0:v]$crop[a];[1:v]$crop[b];[2:v]$crop[c];[3:v]$crop[d];[a][b][c][d]hstack=inputs=4" -frames:v 1 "$root/docs/encoded-recording.png"

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
{
  cat <<TEXT
# From an encoded recording to a clean file

Written by \`scripts/encoded-recording.sh\` ($(date -u +%Y-%m-%d), $(nproc) cores,
$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(ffmpeg -version | head -1 | cut -d' ' -f1-3)).

The recordings of [logo-analysis.md](logo-analysis.md) are made plane by plane and never
encoded. This one is made as a broadcast reaches a user: ffmpeg draws 30 seconds of 1080p
pictures at 25 frames a second (a fractal zoom for 8 s, a cellular automaton for 6 s, slow
colour gradients for 8 s (with the break), a still test card for 8 s, with noise of deviation 3 throughout),
burns in a yellow logo at 65 % opacity (a disc and two bars, anti-aliased, about 130x54 pixels
at 1703,61) except from 16 s to 20 s, an advert break, and encodes it with x264 (\`-crf 21\`,
4:2:0, a key frame every 12 frames or sooner, as broadcasts have one about every half second
so that a receiver can tune in) into a transport stream with sound. Then it runs the two commands that open the
README, as they stand:

\`\`\`sh
ffmpeg -skip_frame nokey -i in.ts -fps_mode passthrough -pix_fmt yuv422p -f yuv4mpegpipe - \\
  | pramvix logo - -o logo.png
ffmpeg -i in.ts -map 0:v -pix_fmt yuv422p -f yuv4mpegpipe - \\
  | pramvix NoLogoColor - logo.png $args \\
  | ffmpeg -i - -i in.ts -map 0:v -map '1:a?' -c:v libx264 -crf 18 -pix_fmt yuv420p -c:a copy out.mkv
\`\`\`

The first took $(seconds "$start" "$found") s and printed:

\`\`\`
$(cat "logo.txt")
\`\`\`

The second took $(seconds "$found" "$cleaned") s, decoding and encoding included.

What is left in the logo's drawn box (132x60 at 1700,58) of the frames that show the logo,
against the pictures before the logo and the encoding, as PSNR in dB (higher is closer);
the last column is the same box 200 rows lower, where there is no logo: what the
encoding alone leaves.

| | Y | U | V | Y, 200 rows lower |
|---|---:|---:|---:|---:|
$table

Frame 60 around the logo: the recording, after \`NoLogoColor\`, after \`delogo\`, and the
picture before the logo.

![before, NoLogoColor, delogo, the picture before the logo](encoded-recording.png)

\`NoLogoColor\` computes what lies under the logo, so it keeps the texture and the moving
pictures there; \`delogo\` paints the region over from its border, which leaves a plain
area plain and smears everything else. What \`NoLogoColor\` leaves is at the logo's rims:
the encoder blurred the logo's edges differently from frame to frame and shares each colour
sample between two rows, so on a plain background a faint outline can stay where a
\`delogo\`'d area is clean.
TEXT
} >"$root/docs/encoded-recording.md"
echo "encoded-recording: docs/encoded-recording.md written"
