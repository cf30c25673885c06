#!/usr/bin/env bash
# How many pixels of the game's picture change between two builds, against
# how many change from one frame to the next in the first build alone:
#
#   bench/pixel-diff.sh [BUILD_DIR] OTHER_GAME [FRAMES]
#
# Each level is played in Xvfb with Mesa's software renderer through the
# frame-by-frame shim of the window tests (tests/window/frame_hashes.cpp),
# so both builds draw the same game time, FRAMES frames of 20 ms (default
# 300), and the last frame is kept as an image. For each level it prints the
# pixels (ImageMagick's compare -metric AE) that differ between OTHER_GAME's
# frame FRAMES and BUILD_DIR's, and, for scale, between OTHER_GAME's frames
# FRAMES and FRAMES + 1. The levels: the shipped levels/1, the 100 x 30
# stress level standing and the same with its chains started
# (stresslevel --self-starting).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)"
build="$(cd "${1:-$root/build-bench}" && pwd -P)"
other="$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")"
frames="${3:-300}"
shim="$build/tests/window/frame_hashes.so"
for f in "$build/toppleton" "$build/bench/stresslevel" "$shim" "$other"; do
  [ -e "$f" ] || { echo "pixel-diff: $f missing" >&2; exit 2; }
done
if [ -z "${PIXEL_DIFF_IN_X:-}" ]; then
  PIXEL_DIFF_IN_X=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$other" "$frames"
fi
export LIBGL_ALWAYS_SOFTWARE=1

work="$(mktemp -d /tmp/toppleton-pixel-diff-XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/shipped/levels" "$work/stress/levels" "$work/chains/levels"
cp "$root/levels/1" "$work/shipped/levels/1"
"$build/bench/stresslevel" 100 30 >"$work/stress/levels/1" 2>/dev/null
"$build/bench/stresslevel" --self-starting 100 30 >"$work/chains/levels/1" 2>/dev/null

# frame LEVEL GAME N OUT: the N'th frame of GAME on LEVEL as the image OUT.
frame() {
  (cd "$work/$1" && FRAMES="$3" FRAMES_OUT="$work/hashes" FRAMES_PPM="$4" LD_PRELOAD="$shim" \
     "$2" >/dev/null 2>&1) || true
  [ -s "$4" ] || { echo "pixel-diff: no frame from $2 on $1" >&2; exit 1; }
}

differ() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

printf '%-10s %22s %26s\n' level "builds differ (pixels)" "frame to frame (pixels)"
for level in shipped stress chains; do
  frame "$level" "$other" "$frames" "$work/other.ppm"
  frame "$level" "$other" "$((frames + 1))" "$work/next.ppm"
  frame "$level" "$build/toppleton" "$frames" "$work/this.ppm"
  printf '%-10s %22s %26s\n' "$level" "$(differ "$work/other.ppm" "$work/this.ppm")" \
    "$(differ "$work/other.ppm" "$work/next.ppm")"
done
