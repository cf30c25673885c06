#!/usr/bin/env bash
# The solver's ladder: fixture levels whose fewest carries are known by how
# they are built (bench/solver-ladder/README.md), from one carry to five,
# each solved alone on one job and on two. For each it prints, as a table,
# the fewest carries found, the plays, the plays per second, the wall time
# and the peak memory. A benchmark, not a test: the figures are for
# docs/performance.md.
#
#   bench/solver-ladder.sh [SOLVER] [SECONDS] [MEGABYTES] [FIXTURE...]
#
# SOLVER is the solver to measure (default build/tools/solver/solver; an older
# build may be given to compare), SECONDS the time each run may take (default
# 600) and MEGABYTES the memory (default 4096): a run over either limit is
# reported as such. FIXTUREs are names in bench/solver-ladder (default all,
# in order of depth).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)"
solver="$(realpath "${1:-$root/build/tools/solver/solver}")"
limit="${2:-600}"
memory="${3:-4096}"
shift $(($# < 3 ? $# : 3))
fixtures=("$@")
if [ "${#fixtures[@]}" -eq 0 ]; then
  fixtures=(plain-1 plain-2 plain-3 shelf-3 bridge-3 plain-4 shelf-4 shelves-4 tower-4 plain-5 shelf-5
            shelves-5 bridge-5 tower-5 stack-5 hole-5)
fi
[ -x "$solver" ] || { echo "solver-ladder: no solver at $solver" >&2; exit 2; }

work="$(mktemp -d /tmp/toppleton-ladder-XXXXXX)"
trap 'rm -rf "$work"' EXIT

# run FIXTURE JOBS: one table cell group: carries, plays, plays/s, seconds, MB.
run() {
  local out="$work/out" times="$work/time" status=0
  (ulimit -v $((memory * 1024)); timeout "$limit" /usr/bin/time -o "$times" -f "%e %M" \
    "$solver" --carries 5 --jobs "$2" "$root/bench/solver-ladder/$1") >"$out" 2>&1 || status=$?
  local seconds kb found plays
  read -r seconds kb < <(tail -n 1 "$times" 2>/dev/null) || true
  seconds="${seconds:--}" kb="${kb:-0}"
  found="$(sed -n 's/^level 1: \([0-9]*\) carr.*/\1/p; s/^level 1: more than.*/more than 5/p' "$out" | head -n 1)"
  plays="$(sed -n 's/.*(\([0-9.]*\) s, \([0-9]*\) plays).*/\2/p' "$out" | head -n 1)"
  if [ "$status" -eq 124 ]; then
    printf '| over %s s | - | - | - | - ' "$limit"
  elif [ -z "$found" ]; then
    printf '| failed (%s) | - | - | %s | %s ' "$(tail -n 1 "$out" | cut -c1-40)" "$seconds" $((kb / 1024))
  else
    printf '| %s | %s | %s | %s | %s ' "$found" "${plays:--}" \
      "$(awk -v p="${plays:-0}" -v s="$seconds" 'BEGIN { printf "%d", (s > 0 ? p / s : 0) }')" "$seconds" \
      $((kb / 1024))
  fi
}

echo "| fixture | built for | 1 job: found | plays | plays/s | s | MB | 2 jobs: found | plays | plays/s | s | MB |"
echo "| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |"
for f in "${fixtures[@]}"; do
  printf '| %s | %s ' "$f" "${f##*-}"
  run "$f" 1
  run "$f" 2
  echo "|"
done
