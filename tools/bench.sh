#!/usr/bin/env bash
# Benchmarks, not tests: how big ombry.exe is; under Wine, how long from
# CreateProcess until its curtain window is visible (median of 10 starts,
# each in a fresh folder, beside the minimal curtain's); how long from the
# hotkey going down (SendInput) until the window covers the screen and
# until the whole screen shows the curtain (median and worst of 20
# presses), with no pattern and with a 3840x2160 and a 7680x4320 one, each
# also as a ratio to a minimal curtain built beside the exe (one window,
# one SetWindowPos, the same idle 100 ms timer); and what the waiting curtain costs (processor time over ten idle seconds, stored and spread,
# memory). With OMBRY_E2E_MONITORS=2, on two monitors (see tests/e2e/run.sh):
# the screen then counts as shown when every monitor shows it.
#
#   tools/bench.sh <build-dir> [starts]
#
# OMBRY_BENCH="start hotkey idle" runs only the parts named (all by default).
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
# shellcheck source=SCRIPTDIR/../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

if [[ $# -lt 1 ]]; then
    echo "usage: $0 <build-dir> [starts]" >&2
    exit 2
fi
build=$(cd "$1" 2>/dev/null && pwd) || { echo "bench: no build directory $1" >&2; exit 2; }
starts=${2:-10}
for f in ombry.exe driver.exe minimal_curtain.exe; do
    [[ -f $build/$f ]] || { echo "bench: missing $build/$f" >&2; exit 2; }
    printf '%-10s %9d bytes\n' "$f" "$(stat -c %s "$build/$f")"
done

ombry_install_deps || exit 2
bits=$(ombry_pe_bits "$build/ombry.exe") || { echo "bench: not an i386 or x86-64 program" >&2; exit 2; }
if [[ $bits == 32 ]] && ! ombry_can_run_32bit; then
    echo "bench: ombry.exe is 32-bit and this machine cannot run 32-bit programs; no timing"
    exit 77
fi

ombry_session bench "$bits" || exit 2
work=$OMBRY_WORK

# run_scenario <name> <time limit s> [exe] [log name]: the driver's output in $work/<log name>.log
run_scenario() {
    local log=${4:-$1}
    mkdir -p "$work/$log"
    OMBRY_E2E_RUNS=$starts OMBRY_E2E_WATCHDOG=$(($2 - 10)) \
        timeout -k 5 "$2" "$OMBRY_WINE" "$build/driver.exe" "$1" "${3:-$build/ombry.exe}" "$work/$log" \
        >"$work/$log.log" 2>/dev/null &
    OMBRY_CHILD_PID=$!
    wait "$OMBRY_CHILD_PID"
    local rc=$?
    OMBRY_CHILD_PID=
    ombry_wine_reset
    grep -E '^not ok' "$work/$log.log"
    return "$rc"
}

# summary <label> <key> <log name>: median, best and worst of the "# <key> <ms>" lines
summary() {
    sed -n "s/^# $2 //p" "$work/$3.log" | sort -n | awk -v label="$1" '
        { t[NR] = $1 }
        END {
            if (NR == 0) { printf "%s: nothing measured\n", label; exit 1 }
            median = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
            printf "%s: median %.1f ms, best %.1f ms, worst %.1f ms (%d runs)\n", label, median, t[1], t[NR], NR
        }'
}

median() {  # median <key> <log name> [extension, log]
    sed -n "s/^# $1 //p" "$work/$2.${3:-log}" | sort -n | awk '{ t[NR] = $1 } END { if (NR) print (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2) }'
}

# ratio <label> <key> <log name> [minimal's log name]: its median against the minimal curtain's
ratio() {
    local mine floor
    mine=$(median "$2" "$3")
    floor=$(median "$2" "${4:-minimal}")
    [[ -n $mine && -n $floor ]] || { echo "$1: nothing measured"; return 1; }
    awk -v l="$1" -v m="$mine" -v f="$floor" 'BEGIN { printf "%s: %.1f ms, %.2fx the minimal curtain (%.1f ms)\n", l, m, m / f, f }'
}

status=0
parts=" ${OMBRY_BENCH:-start hotkey idle} "
wanted() { [[ $parts == *" $1 "* ]]; }
if wanted start; then
run_scenario startup-time $((60 + starts * 15)) || status=1
summary "start to curtain visible" startup-ms startup-time || status=1
run_scenario startup-time $((60 + starts * 15)) "$build/minimal_curtain.exe" startup-minimal || status=1
summary "minimal curtain: start to curtain visible" startup-ms startup-minimal || status=1
ratio "start to curtain visible" startup-ms startup-time startup-minimal || status=1
fi
if wanted hotkey; then
run_scenario hotkey-latency 120 "$build/minimal_curtain.exe" minimal || status=1
summary "minimal curtain: hotkey down to screen black" latency-ms minimal || status=1
summary "minimal curtain: hotkey down to window covering the screen" spread-ms minimal || status=1
run_scenario hotkey-latency 120 "$build/ombry.exe" plain || status=1
summary "hotkey down to screen black" latency-ms plain || status=1
summary "hotkey down to window covering the screen" spread-ms plain || status=1
sed -n 's/^# \(one look at the screen.*\)/(\1)/p' "$work/plain.log"
for size in 3840x2160 7680x4320; do
    OMBRY_E2E_PATTERN=$size run_scenario hotkey-latency 180 "$build/ombry.exe" "pattern-$size" || status=1
    summary "$size pattern: hotkey down to pattern on the whole screen" latency-ms "pattern-$size" || status=1
done
echo "--- as ratios to the minimal curtain (medians)"
ratio "no pattern, hotkey down to screen black" latency-ms plain || status=1
ratio "3840x2160 pattern, hotkey down to the pattern shown" latency-ms pattern-3840x2160 || status=1
ratio "7680x4320 pattern, hotkey down to the pattern shown" latency-ms pattern-7680x4320 || status=1
ratio "hotkey down to window covering the screen" spread-ms plain || status=1
fi
if wanted idle; then
run_scenario idle-cost 60 || status=1
sed -n 's/^# idle-cpu-ms \(.*\)/waiting curtain: \1 ms of processor time in 10 s idle/p; s/^# working-set-kb \(.*\)/waiting curtain: working set \1 KiB/p; s/^# private-kb \(.*\)/waiting curtain: private memory \1 KiB/p' "$work/idle-cost.log"
# Idle, stored and spread (the screen watch then also checks that the
# curtain covers), each beside the minimal curtain. Wine's GetProcessTimes
# reads 0 for another process here, so Linux is asked as well: the exe's
# processor time from 2 s after it started, over 8 s, summed over its
# threads from their schedstat in nanoseconds (the clock ticks of
# /proc/<pid>/stat count 10 ms each: too coarse for a waiting program).
# The scenario closes the program some 11 s after its start: a window that
# ends later takes in the program's exit, which writes its files.
cpu_ns() {  # cpu_ns <pid>: processor time of all its threads so far, in ns
    local t sum=0 run
    for t in /proc/"$1"/task/*/schedstat; do
        read -r run _ <"$t" 2>/dev/null && sum=$((sum + run))
    done
    [[ -d /proc/$1 ]] && echo "$sum"
}
linux_cpu() {  # linux_cpu <log name>: "# linux-cpu-ms <ms>" into <log name>.cpu
    local tag pid='' p i a b
    tag="$(basename "$work")\\$1\\ombry.exe"
    for ((i = 0; i < 100 && ${#pid} == 0; i++)); do
        for p in /proc/[0-9]*; do
            { tr '\0' ' ' <"$p/cmdline"; } 2>/dev/null | grep -qF "$tag" && { pid=${p#/proc/}; break; }
        done
        [[ -n $pid ]] || sleep 0.1
    done
    [[ -n $pid ]] || return 0
    sleep 2
    a=$(cpu_ns "$pid") || return 0
    sleep 8
    b=$(cpu_ns "$pid") || return 0
    awk -v a="$a" -v b="$b" 'BEGIN { printf "# linux-cpu-ms %.1f\n", (b - a) / 1e6 }' >"$work/$1.cpu"
}
idle_run() {  # idle_run <exe> <log name>: one more "# linux-cpu-ms" line in <log name>.all
    linux_cpu "$2" &
    local sampler=$!
    run_scenario idle-cost 60 "$1" "$2" || status=1
    wait "$sampler"
    [[ -f $work/$2.cpu ]] && cat "$work/$2.cpu" >>"$work/$2.all"
    rm -f "$work/$2.cpu"
}
# Taken in turns, several times (OMBRY_BENCH_IDLE_RUNS, 3): one 8 s look
# at each moves by a tenth between runs, and whatever else the machine
# does falls on both.
for ((run = 0; run < ${OMBRY_BENCH_IDLE_RUNS:-3}; run++)); do
    OMBRY_E2E_IDLE=stored idle_run "$build/ombry.exe" idle-stored
    OMBRY_E2E_IDLE=stored idle_run "$build/minimal_curtain.exe" idle-minimal
    OMBRY_E2E_IDLE=down idle_run "$build/ombry.exe" idle-down
    OMBRY_E2E_IDLE=down idle_run "$build/minimal_curtain.exe" idle-minimal-down
done
idle_ratio() {  # idle_ratio <label> <log> <minimal's log>
    local mine floor
    mine=$(median linux-cpu-ms "$2" all)
    floor=$(median linux-cpu-ms "$3" all)
    [[ -n $mine && -n $floor ]] || { echo "idle $1: nothing measured"; return 1; }
    awk -v l="$1" -v m="$mine" -v f="$floor" 'BEGIN {
        printf "idle %s: %.1f ms of processor time in 8 s (Linux, median), %.2fx the minimal curtain (%.1f ms)\n", l, m, (f > 0 ? m / f : 0), f }'
}
idle_ratio stored idle-stored idle-minimal || status=1
idle_ratio spread idle-down idle-minimal-down || status=1
fi
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'); $("$OMBRY_WINE" --version 2>/dev/null), ${OMBRY_E2E_MONITORS:-1} monitor(s), $([[ ${OMBRY_E2E_MONITORS:-1} -gt 1 ]] && echo 'Xorg dummy' || echo Xvfb)"
exit "$status"
