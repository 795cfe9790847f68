#!/usr/bin/env bash
# Coverage-guided fuzzing of the readers of the files the program reads from
# the user's folder: the settings file, the options file and the mute note,
# each for a bounded time.
# Usage: scripts/fuzz-settings.sh [seconds]   (per reader; default 30)
# Exits non-zero when the fuzzer finds a crash or a round-trip violation;
# the failing input is left in build/fuzz/ as crash-* / leak-* / timeout-*.
# Prints how many inputs each reader was given.
set -euo pipefail

seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [seconds]" >&2
    exit 2
fi

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
targets=(settings options mute_note)

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DOMBRY_FUZZ=ON \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
for t in "${targets[@]}"; do cmake --build "$build" --target "${t}_fuzz"; done

# Start from real files so the fuzzer reaches the deep fields quickly.
start_with() { mkdir -p "$build/corpus-$1" && printf -- "$3" >"$build/corpus-$1/$2"; }
start_with settings defaults '0,0,0,"",0,1,0,0\r\n'
start_with settings hotkey-a '2,0,1,"A",65,0,1,1\r\n'
start_with settings quote-name '0,0,0,"""",222,1,0,0\r\n'
start_with settings bounds '-32768,32767,0,"\x82\xa0",-2147483648,0,0,0\n'
start_with options one-monitor 'EveryMonitor=0\r\n'
start_with options spaced ' EveryMonitor = 1 \nOther=2\n'
start_with mute_note earlier 'Ombry mute note\r\n0 {0.0.0.00000000}.{a1b2}\r\n1 usb\r\n'
start_with mute_note writer 'Ombry mute note\r\nwriter 1 4242 133000000000000000\r\n0 spk\r\n'

# Run in the background so an interrupted script still stops the fuzzer.
fuzz_pid=""
cleanup() {
    if [[ -n "$fuzz_pid" ]] && kill -0 "$fuzz_pid" 2>/dev/null; then
        kill "$fuzz_pid" 2>/dev/null || true
        wait "$fuzz_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'cleanup; exit 130' INT TERM

for t in "${targets[@]}"; do
    log="$build/${t}_fuzz.log"
    "$build/${t}_fuzz" -max_total_time="$seconds" -max_len=256 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$build/" "$build/corpus-$t" >"$log" 2>&1 &
    fuzz_pid=$!
    rc=0
    wait "$fuzz_pid" || rc=$?
    fuzz_pid=""
    if [[ $rc -ne 0 ]]; then
        tail -n 30 "$log" >&2
        echo "${t}_fuzz failed (exit $rc); see the crash file named above" >&2
        exit "$rc"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "${t}_fuzz: no crash in ${seconds}s, ${runs:-?} inputs"
done
