#!/usr/bin/env bash
# Installs what is missing, builds, generates a sample clip with a yellow logo burned
# in, finds the logo and makes its reference picture with `pramvix logo`, and
# runs every function that the pramvix command lists on it: before and after
# pictures and a page showing them side by side go to out/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
out=out/demo
mkdir -p "$out"
rm -f "$out"/after-*.png
build/release/demo/pramvix_sample "$out"
pramvix=build/release/cli/pramvix

# The logo (a ring and a bar, drawn in x 236-294, y 16-56 of the 320x180
# sample): its region and reference picture come from the recording itself.
$pramvix logo "$out/sample.y4m" -o "$out/logo.png" --preview "$out/logo-preview.png" | tee "$out/logo.txt"
region=$(sed -n 's/^region: x \([0-9]*\), y \([0-9]*\), width \([0-9]*\), height \([0-9]*\).*/\1 \2 \3 \4/p' "$out/logo.txt")
read -r rx ry rw rh <<<"$region"
declare -A args=(
  [NoLogo]="$out/sample.y4m $out/logo.png 0 20 $region"
  [NoLogoM]="$out/sample.y4m $out/logo.png 0 20 $region 1.0 194 0"
  [NoLogoColor]="$out/sample.y4m $out/logo.png 0 20 $region 1.0 194 0"
  [NoLogoAuto]="$out/sample.y4m $out/logo.png 0"
  [LogoMask]="$out/sample.y4m $out/plain.y4m $out/logo.png 0 20 $region"
  [AddLogo]="$out/clean.y4m $out/logo.png 0 20 $region 0"
  [IfLogo]="$out/sample.y4m $out/plain.y4m $out/logo.png 0 -20 40 $((rx + 4)) $ry $((rw - 4)) $rh"
  [IfNoLogo]="$out/sample.y4m $out/plain.y4m $out/logo.png 0 -20 40 $((rx + 4)) $ry $((rw - 4)) $rh"
)
declare -A about=(
  [NoLogo]="the logo removed from the luma, taken as white (its colour stays)"
  [NoLogoM]="removed from the luma with the logo's level 194, gain 1.0, offset 0 (every pixel softened)"
  [NoLogoColor]="removed from luma and chroma with level 194, gain 1.0, offset 0"
  [NoLogoAuto]="removed over the whole frame, no region given"
  [LogoMask]="logo pixels replaced by a second clip (plain blue)"
  [AddLogo]="the logo drawn into the clip without it"
  [IfLogo]="marking mode: the logo is found, so the second clip's frame (plain blue) comes back"
  [IfNoLogo]="marking mode: edge hits inverted in the main frame"
)

page="$out/index.html"
{
  echo "<!doctype html><meta charset=utf-8><title>Pramvix demo</title>"
  echo "<style>body{font-family:sans-serif}td{padding:6px;vertical-align:top}</style>"
  echo "<h1>Pramvix demo</h1><p>Frame 2 of a generated clip, before and after each function.</p><table>"
  echo "<tr><td colspan=2><img src=logo-preview.png><br><code>pramvix logo</code>: the region it found (x y width height: $region), the frame after NoLogo with the picture it made, and the picture (logo over black)</td></tr>"
  echo "<tr><td><img src=before.png><br>before</td><td><img src=logo.png><br>reference picture (logo over black), made by <code>pramvix logo</code></td></tr>"
} >"$page"
for function in $($pramvix --list | sed 's/(.*//'); do
  if [ -z "${args[$function]:-}" ]; then
    echo "demo: no sample arguments for $function, skipped"
    continue
  fi
  # shellcheck disable=SC2086  # the argument list is split on purpose
  $pramvix -q --png 2 -o "$out/after-$function.png" "$function" ${args[$function]}
  echo "<tr><td><img src=before.png><br>before</td><td><img src=after-$function.png><br><b>$function</b>: ${about[$function]}</td></tr>" >>"$page"
  echo "demo: $out/after-$function.png"
done
echo "</table>" >>"$page"

# Where the logo is: a scan of a 12-second broadcast with an advert from 4 s to 8 s.
$pramvix scan -q --plot "$out/scan-plot.png" --chapters "$out/chapters.txt" --cut-list "$out/cut-list.txt" \
  "$out/broadcast.y4m" "$out/logo.png" 0 20 40 236 12 68 48 | tee "$out/segments.txt"
{
  echo "<h2>Where the logo is</h2><p><code>pramvix scan</code> of a broadcast with an advert in the middle:</p>"
  echo "<p><img src=scan-plot.png></p><pre>$(cat "$out/segments.txt")</pre>"
} >>"$page"
echo "demo: $out/scan-plot.png"
echo "demo: open $page"
