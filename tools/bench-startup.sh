#!/usr/bin/env bash
# How big ombry.exe is, and how long it takes under Wine from CreateProcess
# until its curtain window is visible (10 runs, each in a fresh folder).
# A benchmark, not a test.
#
#   tools/bench-startup.sh <build-dir> [runs]
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
# shellcheck source=SCRIPTDIR/../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

if [[ $# -lt 1 ]]; then
    echo "usage: $0 <build-dir> [runs]" >&2
    exit 2
fi
build=$(cd "$1" 2>/dev/null && pwd) || { echo "bench: no build directory $1" >&2; exit 2; }
runs=${2:-10}
for f in ombry.exe driver.exe; do
    [[ -f $build/$f ]] || { echo "bench: missing $build/$f" >&2; exit 2; }
    printf '%-10s %9d bytes\n' "$f" "$(stat -c %s "$build/$f")"
done

ombry_install_deps || exit 2
bits=$(ombry_pe_bits "$build/ombry.exe") || { echo "bench: not an i386 or x86-64 program" >&2; exit 2; }
if [[ $bits == 32 ]] && ! ombry_can_run_32bit; then
    echo "bench: ombry.exe is 32-bit and this machine cannot run 32-bit programs; no timing"
    exit 77
fi

work=$(mktemp -d /tmp/ombry-bench.XXXXXX)
driver_pid=
cleanup() {
    [[ -n $driver_pid ]] && kill "$driver_pid" 2>/dev/null
    ombry_stop_all
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

ombry_xvfb_start || exit 2
ombry_wine_prefix "$work/prefix" || { echo "bench: could not prepare the Wine prefix" >&2; exit 2; }
ombry_wine_export "$bits" || exit 2
mkdir -p "$work/wd"
OMBRY_E2E_RUNS=$runs OMBRY_E2E_WATCHDOG=$((30 + runs * 15)) \
    timeout -k 5 $((60 + runs * 15)) "$OMBRY_WINE" "$build/driver.exe" startup-time "$build/ombry.exe" "$work/wd" \
    >"$work/log" 2>/dev/null &
driver_pid=$!
wait "$driver_pid"
rc=$?
driver_pid=

grep -q '^not ok' "$work/log" && { grep -E '^(not ok|# run)' "$work/log"; }
# The driver prints "# startup-ms <ms>" per run.
sed -n 's/^# startup-ms //p' "$work/log" | sort -n | awk -v want="$runs" '
    { t[NR] = $1 }
    END {
        if (NR == 0) { print "startup: no run measured"; exit 1 }
        median = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
        printf "startup to curtain: median %.1f ms, min %.1f ms, max %.1f ms (%d of %d runs)\n",
            median, t[1], t[NR], NR, want
    }'
exit "$rc"
