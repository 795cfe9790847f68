#!/usr/bin/env bash
# Builds all three presets and runs every test: the behaviour natively, the
# real ombry.exe (32- and 64-bit) end to end under Wine in a virtual display.
# Installs what is missing first. Ends with "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/wine-env.sh

passed=0
failed=0
count() {  # count <passed> <failed>
    passed=$((passed + $1))
    failed=$((failed + $2))
}
step() { printf '\n== %s\n' "$*"; }

step "installing what is missing"
ombry_install_deps || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

jobs=$(nproc 2>/dev/null || echo 2)
build_ok=1
for preset in native win32 win64; do
    step "building $preset"
    if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; }; then
        echo "build of $preset failed"
        count 0 1
        build_ok=0
    fi
done

step "unit tests"
if [ -x build/native/ombry_tests ]; then
    out=$(build/native/ombry_tests --gtest_brief=1 2>&1)
    rc=$?
    echo "$out" | tail -n 30
    n_pass=$(echo "$out" | sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p')
    n_fail=$(echo "$out" | sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p')
    count "${n_pass:-0}" "${n_fail:-0}"
    [ "$rc" -ne 0 ] && [ -z "$n_fail" ] && count 0 1
fi

e2e() {  # e2e <build-dir> [dpi]
    local label="$1${2:+ at $2 dpi}"
    step "end-to-end: $label"
    if [ ! -f "$1/ombry.exe" ] || [ ! -f "$1/driver.exe" ]; then
        echo "missing $1/ombry.exe or driver.exe"
        count 0 1
        return
    fi
    local log
    log=$(mktemp)
    tests/e2e/run.sh "$@" 2>&1 | tee "$log"
    local line
    line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        count 0 1
    else
        count "$(echo "$line" | awk '{print $2}')" "$(echo "$line" | awk '{print $4}')"
    fi
    rm -f "$log"
}
e2e build/win32
e2e build/win64
e2e build/win32 144

printf '\n%d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ] && [ "$build_ok" -eq 1 ]
