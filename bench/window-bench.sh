#!/usr/bin/env bash
# Measures the real game in a real window: Xvfb, Mesa's software renderer
# (llvmpipe), the 960x720 window the players see.
#
#   bench/window-bench.sh [BUILD_DIR]
#
# BUILD_DIR (default build-bench/) must hold toppleton and the bench targets
# clearswap, swapcount and stresslevel, and with DRAW_ALL=1 the tests' build
# of the game that draws every cell, toppleton_draw_everything. The cases are run in turn in one X
# server, each for WARMUP seconds and then SECONDS measured ones, the whole
# round REPEATS times:
#
#   clearswap       only clears and swaps the same window (the floor of the
#                   stack)
#   shipped         the game on the shipped levels/1
#   stress-WxH      the game on a stress level of W x H cells as levels/1,
#                   for each size in STRESS_SIZES
#   stress-WxH-all  the same with every cell drawn, seen or not (the tests'
#                   toppleton_draw_everything), as before it skipped what
#                   the camera cannot see; only with DRAW_ALL=1
#   chains-WxH      the game on a stress level of W x H cells whose chains
#                   start themselves (stresslevel --self-starting), measured
#                   while they fall, for each size in CHAIN_SIZES
#   fallen-WxH      the same level once its chains have come down and the
#                   camera has come to rest: measured after FALLEN_FRAMES
#                   frames (each adds at most 25 ms of game time) and at
#                   least FALLEN_WARMUP seconds
#   ref-CASE        with REFERENCE (a path to another build of the game),
#                   every game case above played by it as well, in the same
#                   round, to compare builds in one run
#
# For each it prints the frames per second, the process's CPU time per frame
# (utime + stime of all its threads, llvmpipe's included, from /proc), its CPU
# load and its start-up (process start to the first buffer swap, in wall
# time and in the process's CPU time), then the medians and the ratio of each
# game case's CPU per frame to the floor's. Frames are counted by an
# LD_PRELOAD shim around SDL_GL_SwapBuffers.
#
# Environment: SECONDS_MEASURED (10), WARMUP (2), REPEATS (3),
# STRESS_SIZES ("100x30 256x128 1024x512"; empty for none), DRAW_ALL (0),
# CHAIN_SIZES (empty: none), FALLEN_FRAMES (400), FALLEN_WARMUP (12),
# REFERENCE (none).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)"
build="$(cd "${1:-$root/build-bench}" && pwd -P)"
measured="${SECONDS_MEASURED:-10}"
warmup="${WARMUP:-2}"
repeats="${REPEATS:-3}"
read -r -a stress_sizes <<<"${STRESS_SIZES-100x30 256x128 1024x512}"
draw_all="${DRAW_ALL:-0}"
read -r -a chain_sizes <<<"${CHAIN_SIZES-}"
fallen_frames="${FALLEN_FRAMES:-400}"
fallen_warmup="${FALLEN_WARMUP:-12}"
reference="${REFERENCE:-}"

game="$build/toppleton"
game_all="$build/tests/toppleton_draw_everything"
clearswap="$build/bench/clearswap"
shim="$build/bench/swapcount.so"
stresslevel="$build/bench/stresslevel"
for f in "$game" "$clearswap" "$shim" "$stresslevel"; do
  [ -e "$f" ] || { echo "window-bench: $f missing; build the bench targets first" >&2; exit 2; }
done
if [ "$draw_all" = 1 ] && [ ! -e "$game_all" ]; then
  echo "window-bench: $game_all missing; build the tests' toppleton_draw_everything first" >&2
  exit 2
fi

# Outside an X server, start one of our own and run again inside it.
if [ -z "${WINDOW_BENCH_IN_X:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "window-bench: xvfb-run missing" >&2; exit 2; }
  WINDOW_BENCH_IN_X=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi
export LIBGL_ALWAYS_SOFTWARE=1

work="$(mktemp -d /tmp/toppleton-window-bench-XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/shipped/levels" "$work/clearswap"
cp "$root"/levels/* "$work/shipped/levels/"
games=(shipped)
for size in "${stress_sizes[@]}"; do
  mkdir -p "$work/stress-$size/levels"
  "$stresslevel" "${size%x*}" "${size#*x}" >"$work/stress-$size/levels/1" 2>/dev/null
  games+=("stress-$size")
  if [ "$draw_all" = 1 ]; then
    mkdir -p "$work/stress-$size-all"
    ln -s "$work/stress-$size/levels" "$work/stress-$size-all/levels"
    games+=("stress-$size-all")
  fi
done
for size in "${chain_sizes[@]}"; do
  mkdir -p "$work/chains-$size/levels" "$work/fallen-$size"
  "$stresslevel" --self-starting "${size%x*}" "${size#*x}" >"$work/chains-$size/levels/1" 2>/dev/null
  ln -s "$work/chains-$size/levels" "$work/fallen-$size/levels"
  games+=("chains-$size" "fallen-$size")
done
cases=(clearswap "${games[@]}")
if [ -n "$reference" ]; then
  reference="$(cd "$(dirname "$reference")" && pwd -P)/$(basename "$reference")"
  [ -x "$reference" ] || { echo "window-bench: $reference is no program" >&2; exit 2; }
  for name in "${games[@]}"; do
    ln -s "$work/$name" "$work/ref-$name"
    cases+=("ref-$name")
  done
fi
tick="$(getconf CLK_TCK)"

# utime + stime of process $1, in clock ticks.
cpu_ticks() {
  sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# A field of the shim's line: swap_field FILE NAME.
swap_field() {
  sed -n "s/.*\\b$2=\\([-0-9]*\\).*/\\1/p" "$1"
}

# run_case NAME: one measured run of the case; appends a line to results.
run_case() {
  local name="$1" swaps="$work/$1.swaps"
  local program=("$game") settle="$warmup" frames=0
  case "$name" in
    clearswap) program=("$clearswap") ;;
    ref-*) program=("$reference") ;;
  esac
  case "$name" in
    *-all) program=("$game_all") ;;
    *fallen-*) settle="$fallen_warmup" frames="$fallen_frames" ;;
  esac
  (cd "$work/$name" && SWAPCOUNT_FILE="$swaps" LD_PRELOAD="$shim" \
     exec "${program[@]}" >"$work/$name.log" 2>&1) &
  local pid=$!
  sleep "$settle"
  while kill -0 "$pid" 2>/dev/null && [ "$(swap_field "$swaps" swaps 2>/dev/null || echo 0)" -lt "$frames" ]; do
    sleep 1
  done
  if ! kill -0 "$pid" 2>/dev/null || [ ! -s "$swaps" ]; then
    echo "window-bench: $name did not start; its output:" >&2
    cat "$work/$name.log" >&2
    exit 1
  fi
  local c0 f0 t0 c1 f1 t1
  c0="$(cpu_ticks "$pid")"; f0="$(swap_field "$swaps" swaps)"; t0="$(date +%s%N)"
  sleep "$measured"
  c1="$(cpu_ticks "$pid")"; f1="$(swap_field "$swaps" swaps)"; t1="$(date +%s%N)"
  kill -TERM "$pid"
  wait "$pid" || true
  awk -v n="$name" -v c="$((c1 - c0))" -v f="$((f1 - f0))" -v ns="$((t1 - t0))" -v hz="$tick" \
      -v up="$(swap_field "$swaps" first_swap_us)" -v upl="$(swap_field "$swaps" since_load_us)" \
      -v upc="$(swap_field "$swaps" first_swap_cpu_us)" \
      'BEGIN { s = ns / 1e9; cpu = c / hz
               printf "%s %.2f %.3f %.1f %.1f %.1f %.1f\n", n, f / s, cpu * 1000 / f, 100 * cpu / s,
                 up / 1000, upl / 1000, upc / 1000 }' \
      >>"$work/results"
}

echo "window-bench: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$repeats"); do
  for name in "${cases[@]}"; do
    run_case "$name"
  done
done
grep -m1 'clearswap: ' "$work/clearswap.log" || true
echo "window-bench: load after the runs $(cut -d' ' -f1-3 /proc/loadavg)"

printf '\n%-20s %8s %13s %7s %12s %14s %12s\n' case fps "cpu ms/frame" "cpu %" "start-up ms" "since load ms" "start-up cpu"
sort -s -k1,1 "$work/results" |
  awk '{ printf "%-20s %8s %13s %7s %12s %14s %12s\n", $1, $2, $3, $4, $5, $6, $7 }'

# Medians of each column per case, and each case's CPU per frame over the floor's.
awk -v order="${cases[*]}" '
  { n[$1]++; for (k = 2; k <= 7; k++) v[$1, k, n[$1]] = $k }
  function median(c, k,   m, i, j, t, a) {
    m = n[c]
    for (i = 1; i <= m; i++) a[i] = v[c, k, i]
    for (i = 1; i <= m; i++) for (j = i + 1; j <= m; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return m % 2 ? a[(m + 1) / 2] : (a[m / 2] + a[m / 2 + 1]) / 2
  }
  END {
    printf "\nmedians of %d runs\n", n["clearswap"]
    floor = median("clearswap", 3)
    count = split(order, cases, " ")
    for (i = 1; i <= count; i++) {
      c = cases[i]
      printf "%-20s %6.2f fps %7.3f cpu ms/frame (%.2fx the floor) %5.1f%% cpu;" \
        " start-up %.1f ms (%.1f ms after load, %.1f ms cpu)\n",
        c, median(c, 2), median(c, 3), median(c, 3) / floor, median(c, 4), median(c, 5), median(c, 6),
        median(c, 7)
    }
  }' "$work/results"
