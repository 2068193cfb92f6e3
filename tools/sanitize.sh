#!/usr/bin/env bash
# Builds the program and the whole suite with a sanitizer in a build folder of its own and runs
# the tests so that any report fails the run.
#   tools/sanitize.sh [address|thread] [ctest arguments...]
# address (the default): AddressSanitizer and UBSan in build-asan, every test.
# thread: ThreadSanitizer in build-tsan. Without ctest arguments only the tests that run our own
#   worker threads beside the GUI thread: presence and the shared-file check (tst_presence,
#   tst_presenceflow, tst_presencethreads, tst_checktimer), chat (tst_chat*), mail (tst_smtp,
#   tst_mailtest, tst_membermail) and the core tests that read and write from several threads (tst_registry,
#   tst_textfiles, tst_initxml). The other tests start no thread of ours; under TSan they only
#   report Qt's and the web engine's uninstrumented internals and run many times slower.
# Extra arguments go to ctest, e.g. `tools/sanitize.sh address -R tst_modeldoc --repeat until-fail:20`.
# Leak detection stays off: the suite's one-time allocations of Qt at exit are not ours to decide.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
mode="${1:-address}"
[ $# -gt 0 ] && shift
case "$mode" in
address)
  dir=build-asan
  flags="-fsanitize=address,undefined -fno-omit-frame-pointer"
  scale=3
  ;;
thread)
  dir=build-tsan
  flags="-fsanitize=thread"
  scale=6
  ;;
*)
  echo "usage: tools/sanitize.sh [address|thread] [ctest arguments...]" >&2
  exit 2
  ;;
esac

tools/deps.sh --test
# The launcher is chosen once: a change of it later would rebuild everything.
launcher=()
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1 with line tables only: half the compile time of -O2 -g, and still every report's stack with
# its files and lines.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="${flags% -fno-omit-frame-pointer}" \
  -DPEL_TEST_TIMEOUT_SCALE="$scale" >/dev/null
# The threaded tests alone, when no ctest arguments pick others: only they (and what they need)
# are built, the rest of the suite would only cost build time.
threaded=(tst_presence tst_presenceflow tst_presencethreads tst_checktimer tst_chat tst_chatstore tst_chatstress
  tst_chatresponse tst_chatthreads tst_smtp tst_mailtest tst_membermail tst_registry tst_textfiles tst_initxml)
targets=()
if [ "$mode" = thread ] && [ $# -eq 0 ]; then
  targets=(--target "${threaded[@]}")
fi
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"

# Every report ends the test with an abort, which fails it.
export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:abort_on_error=1"
# ignore_noninstrumented_modules: the memory calls made inside Qt and GLib themselves (uninstrumented)
# are not checked; their hand-offs cannot be seen, and every such report would be a false alarm.
export TSAN_OPTIONS="halt_on_error=1:abort_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$root/tools/tsan.supp"

args=("$@")
if [ "$mode" = thread ] && [ ${#args[@]} -eq 0 ]; then
  args=(-R "^($(IFS='|'; echo "${threaded[*]}"))\$")
fi
cd "$dir"
ctest --output-on-failure -j"$(nproc)" "${args[@]}"
