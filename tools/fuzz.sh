#!/usr/bin/env bash
# Builds the loaders' fuzz targets with clang into ./build-fuzz and runs each for SECONDS
# (default 600), JOBS at a time (default 2), starting from the hostile folder. Crashes land in
# build-fuzz/findings/<target>/.
#   tools/fuzz.sh [SECONDS] [JOBS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
jobs="${2:-2}"
shift $(( $# > 2 ? 2 : $# ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_model fuzz_members fuzz_instance fuzz_settings)
if [ ! -f build-fuzz/CMakeCache.txt ]; then
  cxx="$(command -v clang++ || command -v clang++-14 || true)"
  cc="$(command -v clang || command -v clang-14 || true)"
  [ -n "$cxx" ] || { echo "clang is missing: tools/deps.sh --fuzz" >&2; exit 1; }
  cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPEL_FUZZ=ON \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc"
fi
cmake --build build-fuzz -j"$jobs" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
run() {
  local t="$1" corpus="build-fuzz/corpus/$1" findings="build-fuzz/findings/$1"
  mkdir -p "$corpus" "$findings"
  build-fuzz/tests/fuzz/"$t" "$corpus" tests/hostile -max_total_time="$seconds" -max_len=1048576 \
    -rss_limit_mb=4096 -timeout=30 -artifact_prefix="$findings/" >"build-fuzz/$t.log" 2>&1 || true
  echo "$t: $(grep -c . <(ls "$findings")) finding(s); $(tail -1 "build-fuzz/$t.log")"
}
active=0
for t in "${targets[@]}"; do
  run "$t" &
  active=$((active + 1))
  if [ "$active" -ge "$jobs" ]; then
    wait -n
    active=$((active - 1))
  fi
done
wait
