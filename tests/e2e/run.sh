#!/usr/bin/env bash
# End-to-end tests: the real ombry.exe under Wine in Xvfb, driven by driver.exe.
#
#   tests/e2e/run.sh <build-dir> [dpi]
#
# Uses <build-dir>/ombry.exe, driver.exe, win32_tests.exe and win32_forms_tests.exe (builds nothing). Each
# scenario runs in its own empty working directory, under a hard time limit,
# with every Wine process ended before the next one. Screens of failures go
# to <build-dir>/e2e-shots/, as do the pictures a scenario keeps (shot-*.bmp).
# Exit status 0 only when every scenario passed;
# 77 when the build is 32-bit and this machine cannot run 32-bit programs.
#
# OMBRY_E2E_SCENARIOS overrides the list of scenarios (space-separated).
# OMBRY_E2E_MONITORS=2 runs on two monitors instead (Xorg with the dummy
# driver, no Wine virtual desktop, hence no taskbar): 1024x768 at 0,0, the
# primary, and 800x600 at 1024,0; by default only the scenarios written for it.
# OMBRY_E2E_DRIVER names another driver.exe: a 64-bit driver can still read
# a 32-bit ombry.exe's file (version-info) where 32-bit programs cannot run.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 <build-dir> [dpi]" >&2
    exit 2
fi
build=$(cd "$1" 2>/dev/null && pwd) || { echo "e2e: no build directory $1" >&2; exit 2; }
dpi=${2:-}
exe=$build/ombry.exe
driver=${OMBRY_E2E_DRIVER:-$build/driver.exe}
for f in "$exe" "$driver"; do
    [[ -f $f ]] || { echo "e2e: missing $f (build it first)" >&2; exit 2; }
done

all_scenarios="win32-files win32-forms environment version-info start-empty second-copy command-line close-ends strip-sides hotkey-down mouse-pull
keyboard-back right-click-menu screen-watch pattern-clipboard pattern-start-bmp tray-icon tray-menu exit-menu settings-held end-session sound-mute sound-crash
sound-kill sound-session-end dialog-start dialog-start-en dialog-keyboard dialog-hotkey hotkey-modifiers dialog-choices dialog-choices-saved dialog-reopen dialog-no-lockout
pattern-buttons picker one-move keep-exit-pattern dialog-no-freeze picker-switch-away topmost-window startup-shortcut"
two_monitor_scenarios="monitors-cover monitors-pattern monitors-option monitors-change monitors-strip topmost-window sound-crash"
monitors=${OMBRY_E2E_MONITORS:-1}
[[ $monitors -gt 1 ]] && all_scenarios=$two_monitor_scenarios
export OMBRY_E2E_MONITORS=$monitors
read -ra scenarios <<<"$(echo ${OMBRY_E2E_SCENARIOS:-$all_scenarios})"
# Scenarios that only read the exe's file, never start it.
file_only() { [[ " version-info environment " == *" $1 "* ]]; }
# Scenarios that need sound: each runs in a prefix of its own with Wine's
# sound driver on, beside a sound server of its own.
needs_audio() { [[ " sound-mute sound-crash sound-kill sound-session-end " == *" $1 "* ]]; }

audio=
for name in "${scenarios[@]}"; do needs_audio "$name" && audio=audio; done
ombry_install_deps $audio || { echo "e2e: could not install the packages needed" >&2; exit 2; }

bits=$(ombry_pe_bits "$exe") || { echo "e2e: $exe is no i386 or x86-64 program" >&2; exit 2; }
driver_bits=$(ombry_pe_bits "$driver") || { echo "e2e: $driver is no i386 or x86-64 program" >&2; exit 2; }
if [[ $bits == 32 || $driver_bits == 32 ]] && ! ombry_can_run_32bit; then
    runs_exe=0
    for name in "${scenarios[@]}"; do file_only "$name" || runs_exe=1; done
    if [[ $driver_bits == 32 || $runs_exe == 1 ]]; then
        echo "e2e: skipped: ombry.exe is 32-bit and this machine cannot run 32-bit programs" \
            "(kernel without 32-bit support)"
        exit 77
    fi
fi

ombry_session e2e "$driver_bits" "$dpi" || exit 2
work=$OMBRY_WORK
export OMBRY_E2E_DPI=${dpi:-96}

shots=$build/e2e-shots
passed=0
failed=0
skipped=0
echo "e2e: $(basename "$build"): $bits-bit ombry.exe, display $DISPLAY, ${OMBRY_E2E_DPI} dpi, $monitors monitor(s)"
for name in "${scenarios[@]}"; do
    wd=$(mktemp -d "$work/$name.XXXXXX")
    log=$work/$name.log
    shot=$work/$name-failure.bmp
    echo "=== $name"
    start=$(date +%s.%N)
    plain_prefix=$WINEPREFIX
    ready=1
    if needs_audio "$name"; then
        ombry_wine_prefix "$work/prefix-audio" "$dpi" audio && ombry_audio_start "$work/pulse" || ready=0
    fi
    # win32-files and win32-forms are the Win32 layer's own test programs;
    # the rest are scenarios of the driver.
    command=("$driver" "$name" "$exe" "$wd")
    if [[ $name == win32-files ]]; then
        command=("$build/win32_tests.exe")
        python3 "$root/tests/win32/make_bad_bitmaps.py" "$wd/corpus" >/dev/null
    fi
    [[ $name == win32-forms ]] && command=("$build/win32_forms_tests.exe")
    if ((ready)); then
        # In the background, so a Ctrl-C reaches our trap at once.
        (cd "$wd" && OMBRY_E2E_SHOT=$shot exec timeout -k 5 60 "$OMBRY_WINE" "${command[@]}") \
            >"$log" 2>"$work/$name.stderr" &
        OMBRY_CHILD_PID=$!
        wait "$OMBRY_CHILD_PID"
        rc=$?
        OMBRY_CHILD_PID=
    else
        echo "not ok - $name: no sound server or no prefix for it" >"$log"
        rc=1
    fi
    cat "$log"
    secs=$(printf '%.1f' "$(echo "$(date +%s.%N) - $start" | bc)")
    if [[ $rc -eq 0 ]] && grep -q '^skip - ' "$log" && ! grep -q '^not ok' "$log"; then
        skipped=$((skipped + 1))
        echo "=== $name: skipped ($secs s)"
    elif [[ $rc -eq 0 ]] && grep -q '^ok - ' "$log" && ! grep -q '^not ok' "$log"; then
        passed=$((passed + 1))
        echo "=== $name: passed ($secs s)"
    else
        failed=$((failed + 1))
        [[ $rc -eq 124 || $rc -eq 137 ]] && echo "not ok - $name: killed by the 60 s limit"
        mkdir -p "$shots"
        if [[ -f $shot ]]; then
            convert "$shot" "$shots/$name-failure.png" 2>/dev/null && echo "# screen at the failure: $shots/$name-failure.png"
        fi
        import -window root "$shots/$name-end.png" 2>/dev/null && echo "# screen at the end: $shots/$name-end.png"
        if [[ -s $work/$name.stderr ]]; then
            echo "# stderr (last lines):"
            tail -n 15 "$work/$name.stderr" | sed 's/^/#   /'
        fi
        echo "=== $name: FAILED (exit $rc, $secs s)"
    fi
    # Pictures a scenario takes on purpose (shot-*.bmp) are kept to look at.
    for kept in "$wd"/shot-*.bmp; do
        [[ -f $kept ]] || continue
        mkdir -p "$shots"
        convert "$kept" "$shots/$name-$(basename "${kept%.bmp}").png" 2>/dev/null &&
            echo "# picture: $shots/$name-$(basename "${kept%.bmp}").png"
    done
    # Nothing of this scenario lives on into the next.
    ombry_wine_reset
    if needs_audio "$name"; then
        ombry_audio_stop
        rm -rf "$work/prefix-audio" "$work/pulse"
        WINEPREFIX=$plain_prefix
    fi
    xdotool keyup shift 2>/dev/null  # a scenario may have failed with Shift held
    # A scenario may have failed with a monitor switched off.
    if [[ $monitors -gt 1 ]] && ! ombry_xorg_laid_out; then ombry_xorg_layout; fi
done

echo "e2e: $passed passed, $failed failed, $skipped skipped"
[[ $failed -eq 0 ]]
