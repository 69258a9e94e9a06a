#!/usr/bin/env bash
# The one test command: installs what the tests need, builds both platforms and runs every test.
#   1. Linux (g++): unit tests and the end-to-end tests of the real programs under Xvfb
#   2. the Debian package: lintian, then installed on this machine, started and removed again
#   3. the unit tests again with clang++ under AddressSanitizer and UndefinedBehaviorSanitizer
#   4. Windows (32-bit mingw-w64): the same unit tests, rechner-keys.exe and the ZIP under Wine
#   5. the libFuzzer targets, each for a bounded time from a corpus seeded from the tables
# Our own code must be formatted and build without a warning on all four.
# Any failure stops the run with a non-zero exit status.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh --test

step() { printf '\n==== %s\n' "$*"; }
jobs=$(nproc)

step "Formatting"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

step "Linux build and tests"
cmake --preset linux -DRECHNER_WERROR=ON >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

step "Debian package"
rm -f build/rechner_*.deb
cpack --preset linux >/dev/null
deb=$(echo build/rechner_*.deb)
dpkg-deb --field "$deb" Package Version Installed-Size Depends
lintian --fail-on error,warning "$deb"
python3 tests/package/debian_package_test.py "$deb"

step "Sanitizer build and unit tests"
cmake --preset sanitize -DRECHNER_WERROR=ON >/dev/null
cmake --build --preset sanitize -j "$jobs"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 \
    ctest --preset sanitize -j "$jobs"

step "Windows build and tests under Wine"
export WINEPREFIX=$root/build-windows/wineprefix WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
cmake --preset windows -DRECHNER_WERROR=ON >/dev/null
cmake --build --preset windows -j "$jobs"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    DISPLAY= wineboot --init >/dev/null 2>&1
    # A crash must fail the test, not wait for someone to close the debugger's dialog.
    DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 \
        /f >/dev/null 2>&1
    wineserver --wait
fi
DISPLAY= ctest --preset windows
wineserver --kill || true

step "Fuzzing"
cmake --preset fuzz -DRECHNER_WERROR=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"
seconds=${RECHNER_FUZZ_SECONDS:-20}
for fuzzer in build-fuzz/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus=build-fuzz/corpus/$name
    rm -rf "$corpus" && mkdir -p "$corpus"
    if [ -d "tests/fuzz/corpus/$name" ]; then cp tests/fuzz/corpus/$name/* "$corpus"/; fi
    echo "-- $name for ${seconds}s"
    log=build-fuzz/$name.log
    if ! "$fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" >"$log" 2>&1; then
        cat "$log"
        echo "$name failed; the input that failed is named above"
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$log"
done

step "All tests passed"
