#!/usr/bin/env bash
# Instruction counts of a tick and of a frame on the stress levels, under
# callgrind: exact and repeatable where timings on a busy machine are not.
#
#   bench/instruction-counts.sh [BUILD_DIR]
#
# BUILD_DIR (default build-bench/) must hold bench/bench_noopgl. For each
# stress level height it runs the tick benchmark once under callgrind,
# counting only inside Level::update (with Player::update) and only inside
# the frame's work and drawing (animateFrame, Player::render, Level::render),
# and prints the instructions per tick, per frame and per domino.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)"
build="$(cd "${1:-$root/build-bench}" && pwd -P)"
bench="$build/bench/bench_noopgl"
[ -x "$bench" ] || { echo "instruction-counts: $bench missing" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "instruction-counts: valgrind missing" >&2; exit 2; }

# Ticks one benchmark run makes: 3 timed runs of 100 ticks and one untimed
# run that counts the fallen dominoes (see sim_bench.cpp).
ticks=400

work="$(mktemp -d /tmp/toppleton-callgrind-XXXXXX)"
trap 'rm -rf "$work"' EXIT

# count HEIGHT FUNCTION...: instructions inside the functions over one run.
count() {
  local rows="$1" out="$work/cg.out" toggles=()
  shift
  for f in "$@"; do
    toggles+=("--toggle-collect=$f")
  done
  valgrind --tool=callgrind --callgrind-out-file="$out" "${toggles[@]}" \
    "$bench" "--benchmark_filter=^BM_TickUpdate/$rows/" >"$work/log" 2>&1
  sed -n 's/^summary: //p' "$out"
}

printf '%-8s %9s %16s %16s %14s %14s\n' height dominoes "update Ir/tick" "render Ir/frame" "update/domino" "render/domino"
for rows in 8 15 30 60; do
  dominoes="$("$build/bench/stresslevel" 100 "$rows" 2>&1 >/dev/null | awk '{ print $5 }')"
  update="$(count "$rows" 'Level::update()' 'Player::update()')"
  render="$(count "$rows" 'animateFrame(float)' 'Level::render(float)' 'Player::render(float)')"
  awk -v r="$rows" -v d="$dominoes" -v u="$update" -v f="$render" -v t="$ticks" \
    'BEGIN { printf "%-8s %9d %16.0f %16.0f %14.1f %14.1f\n", r, d, u / t, f / t, u / t / d, f / t / d }'
done
