# Sourced by the benchmark scripts: replace_doc_block NAME BLOCK_FILE puts the
# file's lines between <!-- NAME:begin --> and <!-- NAME:end --> in
# docs/performance.md, in place of what stood there.
replace_doc_block() {
  local name="$1" block="$2" tmp
  grep -q "<!-- $name:begin -->" docs/performance.md && grep -q "<!-- $name:end -->" docs/performance.md || {
    echo "docs/performance.md lacks the $name markers" >&2
    exit 1
  }
  tmp="$(mktemp)"
  awk -v block="$block" -v begin="<!-- $name:begin -->" -v end="<!-- $name:end -->" '
    index($0, end) { skipping = 0 }
    !skipping { print }
    index($0, begin) { while ((getline line < block) > 0) print line; skipping = 1 }
  ' docs/performance.md >"$tmp"
  mv "$tmp" docs/performance.md
  echo "docs/performance.md updated" >&2
}
