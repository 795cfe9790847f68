#!/usr/bin/env bash
# Coverage-guided fuzzing of the settings file reader for a bounded time.
# Usage: scripts/fuzz-settings.sh [seconds]   (default 30)
# Exits non-zero when the fuzzer finds a crash or a round-trip violation;
# the failing input is left in build/fuzz/ as crash-* / leak-* / timeout-*.
set -euo pipefail

seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [seconds]" >&2
    exit 2
fi

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
corpus="$build/corpus"

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DOMBRY_FUZZ=ON \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target settings_fuzz

# Start from real files so the fuzzer reaches the deep fields quickly.
mkdir -p "$corpus"
printf '0,0,0,"",0,1,0,0\r\n' > "$corpus/defaults"
printf '2,0,1,"A",65,0,1,1\r\n' > "$corpus/hotkey-a"
printf '0,0,0,"""",222,1,0,0\r\n' > "$corpus/quote-name"
printf -- '-32768,32767,0,"\x82\xa0",-2147483648,0,0,0\n' > "$corpus/bounds"

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

"$build/settings_fuzz" -max_total_time="$seconds" -max_len=256 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/" "$corpus" &
fuzz_pid=$!
rc=0
wait "$fuzz_pid" || rc=$?
fuzz_pid=""

if [[ $rc -ne 0 ]]; then
    echo "settings_fuzz failed (exit $rc); see the crash file named above" >&2
    exit "$rc"
fi
echo "settings_fuzz: no crash in ${seconds}s"
