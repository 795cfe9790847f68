#!/usr/bin/env bash
# Installs what is missing, builds ombry.exe and runs it under Wine.
#
#   scripts/run.sh
#
# With a display (DISPLAY set), Ombry runs on it until you end it ("終了" in
# the menu of its notification-area icon or of the curtain, or Ctrl-C here).
# Without one, a short demonstration runs on a virtual display, leaves
# screenshots of each stage in demo-shots/ and ends Ombry with "終了".
#
# The shipped build is the 32-bit one; where this machine cannot run 32-bit
# programs (a kernel without 32-bit support) the 64-bit build runs instead.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/wine-env.sh

ombry_install_deps || { echo "run: could not install the packages needed" >&2; exit 1; }

preset=win32
if ! ombry_can_run_32bit; then
    echo "run: this machine cannot run 32-bit programs; running the 64-bit build"
    preset=win64
fi
{ cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$(nproc)"; } ||
    { echo "run: the build failed" >&2; exit 1; }
build=$root/build/$preset
bits=$(ombry_pe_bits "$build/ombry.exe") || exit 1

# Ombry keeps its settings in the folder it starts in.
home=${OMBRY_HOME:-$root/run}
mkdir -p "$home"
trap 'ombry_stop_all' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ -n ${DISPLAY:-} ]]; then
    export WINEPREFIX=${WINEPREFIX:-$root/run/wine-prefix}
    [[ -d $WINEPREFIX ]] || ombry_wine_prefix "$WINEPREFIX" || exit 1
    ombry_wine_export "$bits" || exit 1
    cp "$build/ombry.exe" "$home/ombry.exe"
    # A Wine desktop as large as the display: the curtain covers all of it,
    # and the desktop's taskbar holds the notification area.
    size=$(xdpyinfo 2>/dev/null | sed -n 's/^ *dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p' | head -n1)
    desktop=/desktop=Ombry,${size:-1024x768}
    echo "run: Ombry is running on $DISPLAY (settings in $home); end it from its menu, or with Ctrl-C here"
    # A session of its own, so that Ctrl-C reaches this script and not Wine:
    # Ombry is then ended in order, below.
    (cd "$home" && exec setsid "$OMBRY_WINE" explorer "$desktop" ombry.exe) &
    app=$!
    # Closing the curtain window runs Ombry's unload, which writes the
    # settings (taskkill without /f asks each window of the program to close,
    # on Ombry's desktop); what is left is ended by the EXIT trap.
    end_in_order() {
        (cd "$home" && "$OMBRY_WINE" explorer "$desktop" taskkill /im ombry.exe) >/dev/null 2>&1
        for ((i = 0; i < 100; i++)); do
            kill -0 "$app" 2>/dev/null || return 0
            sleep 0.1
        done
        echo "run: Ombry did not end within 10 s; ending Wine" >&2
    }
    trap 'end_in_order; exit 130' INT
    trap 'end_in_order; exit 143' TERM
    wait "$app"
    exit 0  # the EXIT trap ends the Wine services it leaves
fi

# No display: the demonstration on a virtual one.
ombry_session demo "$bits" || exit 1
work=$OMBRY_WORK
mkdir -p "$work/wd"
timeout -k 5 90 "$OMBRY_WINE" "$build/driver.exe" demo "$build/ombry.exe" "$work/wd" 2>/dev/null
rc=$?
shots=$root/demo-shots
mkdir -p "$shots"
for f in "$work"/wd/*.bmp; do
    [[ -f $f ]] || continue
    convert "$f" "$shots/$(basename "${f%.bmp}").png" && echo "run: screenshot $shots/$(basename "${f%.bmp}").png"
done
exit "$rc"
