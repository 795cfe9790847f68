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

step "installing what is missing (with the sound server and the two-monitor X server)"
OMBRY_E2E_MONITORS=2 ombry_install_deps audio || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

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

skipped=()
e2e() {  # e2e <build-dir> [dpi]
    local label="$1${2:+ at $2 dpi}${OMBRY_E2E_MONITORS:+ on $OMBRY_E2E_MONITORS monitors}"
    step "end-to-end: $label"
    if [ ! -f "$1/ombry.exe" ] || [ ! -f "$1/driver.exe" ]; then
        echo "missing $1/ombry.exe or driver.exe"
        count 0 1
        return
    fi
    local log rc line
    log=$(mktemp)
    tests/e2e/run.sh "$@" 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
    line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
    rm -f "$log"
    if [ -n "$line" ]; then
        count "$(echo "$line" | awk '{print $2}')" "$(echo "$line" | awk '{print $4}')"
        local n_skip
        n_skip=$(echo "$line" | sed -n 's/.*, \([0-9]*\) skipped.*/\1/p')
        [[ ${n_skip:-0} -gt 0 ]] && skipped+=("$label: $n_skip scenario(s) that cannot be checked here (see above)")
    elif [ "$rc" -eq 77 ]; then
        skipped+=("$label")
    else
        count 0 1
    fi
}

e2e build/win64
e2e build/win64 144
if ombry_can_run_32bit; then
    e2e build/win32
    e2e build/win32 144
else
    # The 32-bit exe cannot start here; its file is still checked (version
    # information, icon, imports) by the 64-bit driver.
    OMBRY_E2E_DRIVER=$root/build/win64/driver.exe OMBRY_E2E_SCENARIOS=version-info e2e build/win32
    skipped+=("build/win32: the scenarios that start ombry.exe (this machine cannot run 32-bit programs)")
fi

# Two monitors (Xorg with the dummy driver): one configuration, the
# scenarios written for it.
OMBRY_E2E_MONITORS=2 e2e build/win64
ombry_can_run_32bit && OMBRY_E2E_MONITORS=2 e2e build/win32

# The release from the tree (its exes are the presets' builds above) and
# from a copy of it in a folder of another name and length: the zips must
# be the same bytes and hold the four files.
release_check() {
    step "release: the same zips from two folders"
    local tmp epoch b=release-copy/of-the-tree z names bad=""
    tmp=$(mktemp -d) || { count 0 1; return; }
    # shellcheck disable=SC2064  # $tmp is local: expanded now
    trap "rm -rf '$tmp'" EXIT
    epoch=$(git log -1 --format=%ct) || epoch=0
    # The tree as it stands, edits included, without builds or history.
    mkdir -p "$tmp/$b"
    git ls-files -z -c -o --exclude-standard |
        tar -c --null -T - --ignore-failed-read 2>/dev/null | tar -x -C "$tmp/$b"
    (SOURCE_DATE_EPOCH=$epoch OMBRY_RELEASE_BUILD=$root/build bash scripts/release.sh >"$tmp/log" 2>&1) ||
        { tail -n 20 "$tmp/log"; bad+=" (release in the tree failed)"; }
    (cd "$tmp/$b" && SOURCE_DATE_EPOCH=$epoch bash scripts/release.sh >"$tmp/log" 2>&1) ||
        { tail -n 20 "$tmp/log"; bad+=" (release in the copy failed)"; }
    for z in dist/ombry-*-x86.zip dist/ombry-*-x64.zip; do
        [[ -f $z ]] || { bad+=" (no $z)"; continue; }
        names=$(python3 -c 'import sys, zipfile; print(*zipfile.ZipFile(sys.argv[1]).namelist())' "$z")
        echo "$(basename "$z"): sha256 $(sha256sum <"$z" | cut -c1-16)..., $names"
        cmp "$z" "$tmp/$b/$z" || bad+=" ($(basename "$z") differs)"
        [[ $names == "ombry.exe README.txt LICENSE CHANGES.txt" ]] ||
            bad+=" ($(basename "$z") does not hold the four files)"
    done
    diff -r dist "$tmp/$b/dist" >/dev/null || bad+=" (dist/ differs)"
    rm -rf "$tmp" dist
    trap - EXIT
    if [[ -z $bad ]]; then count 1 0; else echo "release:$bad"; count 0 1; fi
}
release_check

for s in "${skipped[@]}"; do echo "skipped: $s"; done
printf '\n%d passed, %d failed, %d skipped\n' "$passed" "$failed" "${#skipped[@]}"
[ "$failed" -eq 0 ] && [ "$build_ok" -eq 1 ]
