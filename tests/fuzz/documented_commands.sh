#!/usr/bin/env bash
# The README's fuzz commands as they are written there, run from the
# repository root: the corpus folder given relative to it, the seeds and, for
# the loader, levels/ as further inputs. Each fuzzer must run every input it
# is given and go on fuzzing, the loader fuzzer must write what it finds into
# the corpus, and levels/ must be left as it was. Then the play fuzzer, which
# plays in a directory of its own, is stopped while an input runs (over a
# limit on its memory): its artifact must land in the directory it was
# started in.
#
#   tests/fuzz/documented_commands.sh FUZZ_BINARY_DIR SCRATCH_DIR
set -euo pipefail

bin="$1"
scratch="$2"
rm -rf "$scratch"
mkdir -p "$scratch/tmp"
export TMPDIR="$scratch/tmp"
relative="$(realpath --relative-to=. "$scratch")"
levels_before="$(cat levels/* | md5sum)"

# fuzz TARGET EXTRA_RUNS INPUTS...: the documented command for TARGET, for
# as many runs as it has seeds and EXTRA_RUNS more.
fuzz() {
  local target="$1" extra="$2" runs done
  shift 2
  runs=$(($(ls "tests/fuzz/seeds/$target" | wc -l) + extra))
  mkdir -p "$relative/corpus/$target"
  "$bin/fuzz_$target" -close_fd_mask=1 -runs="$runs" "$relative/corpus/$target" "tests/fuzz/seeds/$target" "$@" \
    2>"$scratch/$target.log" || { echo "fuzz_$target failed:"; tail -n 20 "$scratch/$target.log"; exit 1; }
  done="$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$scratch/$target.log")"
  if [ -z "$done" ] || [ "$done" -lt "$runs" ]; then
    echo "fuzz_$target stopped after ${done:-no} runs of $runs:"
    tail -n 20 "$scratch/$target.log"
    exit 1
  fi
  echo "fuzz_$target: $done runs, $(ls "$relative/corpus/$target" | wc -l) inputs written to the corpus"
}

fuzz loader 2000 levels
fuzz play 20
if [ -z "$(ls "$relative/corpus/loader")" ]; then
  echo "fuzz_loader wrote nothing into $relative/corpus/loader"
  exit 1
fi
if [ "$(cat levels/* | md5sum)" != "$levels_before" ]; then
  echo "levels/ was changed"
  exit 1
fi

seeds="$PWD/tests/fuzz/seeds/play"
cd "$scratch"
# The limit is checked once a second, and the input must be running then:
# nearly all the time it is, but not quite, so up to three tries.
for try in 1 2 3; do
  "$bin/fuzz_play" -close_fd_mask=1 -rss_limit_mb=1 -max_total_time=20 "$seeds" 2>"try-$try.log" || true
  if ls oom-[0-9a-f]* >/dev/null 2>&1; then
    echo "fuzz_play left $(ls oom-[0-9a-f]*) in the directory it was started in"
    exit 0
  fi
done
echo "fuzz_play left no artifact in the directory it was started in:"
tail -n 20 try-3.log
exit 1
