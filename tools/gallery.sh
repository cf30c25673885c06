#!/usr/bin/env bash
# Regenerates docs/gallery/<N>.png, a screenshot of every level in the real
# game window, and removes the pictures of levels that are gone. Each level is
# played alone, as level 1 of a private copy, on a virtual X display; after a
# few seconds the self-steering camera has framed it and the screen is
# captured. The same is done for docs/kinds.level, every kind of domino on two
# shelves, into docs/kinds.png for the top of the designer's guide.
#
#   tools/gallery.sh [GAME] [SECONDS] [LEVEL...]
#
# GAME is the built game (default build/toppleton), SECONDS the wait before
# the capture (default 5). With LEVELs, only their pictures are taken again,
# and nothing else is touched. Needs xvfb-run and ImageMagick's import.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
game=$(realpath "${1:-$root/build/toppleton}")
settle=${2:-5}
shift $(($# < 2 ? $# : 2))
only=("$@")
out=$root/docs/gallery
mkdir -p "$out"

shoot() {
  local level=$1 png=$2 dir
  dir=$(mktemp -d)
  mkdir "$dir/levels"
  cp "$level" "$dir/levels/1"
  xvfb-run -a -s "-screen 0 960x720x24" bash -c '
    cd "$1" && "$2" 2>/dev/null & game=$!
    sleep "$3"
    import -window root "$4"
    kill "$game"; wait "$game" 2>/dev/null || true
  ' shoot "$dir" "$game" "$settle" "$png"
  rm -rf "$dir"
}

if [ "${#only[@]}" -gt 0 ]; then
  for n in "${only[@]}"; do
    shoot "$root/levels/$n" "$out/$n.png"
    echo "docs/gallery/$n.png"
  done
  exit 0
fi

for level in "$root"/levels/*; do
  n=$(basename "$level")
  [[ $n =~ ^[1-9][0-9]*$ ]] || continue
  shoot "$level" "$out/$n.png"
  echo "docs/gallery/$n.png"
done

for png in "$out"/*.png; do
  n=$(basename "$png" .png)
  [[ $n =~ ^[1-9][0-9]*$ && ! -e $root/levels/$n ]] || continue
  rm "$png"
  echo "removed docs/gallery/$n.png"
done

shoot "$root/docs/kinds.level" "$root/docs/kinds.png"
echo docs/kinds.png
