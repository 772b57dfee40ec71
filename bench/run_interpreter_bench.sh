#!/bin/sh
# Runs the interpreter workloads (bench/bench_interpreter.cpp) and the same computations in
# Lua 5.4 (bench/lua/*.lua), best of RUNS runs each, and prints the times side by side.
# Only the script run is timed on both sides (no start-up, no game loading).
#
#   bench/run_interpreter_bench.sh [BUILD_DIR] [RUNS]     (defaults: build, 3)
#
# Lua 5.4 is only needed for the comparison (Debian: apt-get install lua5.4); without it the
# Lua column shows "-".
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-3}

cmake --build "$build" --target bench_interpreter -j2 >/dev/null
bench="$build/bench/bench_interpreter"
lua=$(command -v lua5.4 || command -v lua || true)

ours=$(QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" --runs "$runs")

printf '%-14s %12s %12s %8s\n' workload "player (s)" "Lua 5.4 (s)" ratio
echo "$ours" | while read -r name seconds result; do
  luatime=-
  if [ -n "$lua" ] && [ -f "$root/bench/lua/$name.lua" ]; then
    i=0
    while [ "$i" -lt "$runs" ]; do
      t=$("$lua" "$root/bench/lua/$name.lua" | awk '{print $2}')
      if [ "$luatime" = - ] || awk "BEGIN{exit !($t < $luatime)}"; then luatime=$t; fi
      i=$((i + 1))
    done
  fi
  if [ "$luatime" = - ]; then
    ratio=-
  else
    ratio=$(awk "BEGIN{printf \"%.2f\", $seconds / $luatime}")
  fi
  printf '%-14s %12s %12s %8s   (%s)\n' "$name" "$seconds" "$luatime" "$ratio" "$result"
done
