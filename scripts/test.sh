#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice,
# headless: an optimised build in build/, and an AddressSanitizer +
# UndefinedBehaviorSanitizer build in build-asan/. The unit tests use Qt's
# offscreen platform; the end-to-end test starts its own Xvfb. Exits non-zero
# if anything fails.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=2

bash "$root/scripts/install-deps.sh" || exit 1

export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime directory; give it one instead of a warning.
XDG_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/gorseed-runtime.XXXXXX") || exit 1
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

results=()
failures=0

# run_pass NAME BUILD_DIR [CMAKE ARGS...]: configure, build, run every test.
run_pass() {
    local name=$1 dir=$2
    shift 2
    local start=$SECONDS status=0
    echo "==== $name: build in $dir"
    cmake -S "$root" -B "$dir" "$@" &&
        cmake --build "$dir" -j"$jobs" &&
        (cd "$dir" && ctest --output-on-failure --no-tests=error -j"$jobs") || status=$?
    local took=$((SECONDS - start))
    if [ "$status" -eq 0 ]; then
        results+=("$name: passed in ${took}s")
    else
        results+=("$name: FAILED in ${took}s")
        failures=$((failures + 1))
    fi
}

# The sanitizer options are read only by the instrumented build's programs.
# Full stacks (fast_unwind_on_malloc=0) let the leak suppressions, which name
# system-library frames only, match reliably.
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_pass "normal pass" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_pass "sanitizer pass (ASan+UBSan)" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DGORSEED_SANITIZE=ON

echo "==== summary"
printf '%s\n' "${results[@]}"
if [ "$failures" -ne 0 ]; then
    echo "test.sh: FAILED"
    exit 1
fi
echo "test.sh: all tests passed, normally and under the sanitizers"
