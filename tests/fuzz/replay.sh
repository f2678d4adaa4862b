#!/usr/bin/env bash
# Builds the picture-loading fuzz target and runs every kept input through it once: the test
# pictures, the fuzzing corpus and the regressions. No open-ended fuzzing.
# Usage: tests/fuzz/replay.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
dir="${1:-$root/build-fuzz}"
"$root/tests/fuzz/build.sh" "$dir/decode_fuzzer"
export QT_LOGGING_RULES='qt.gui.imageio*=false'
export QT_QPA_PLATFORM=offscreen
# libFuzzer writes new inputs into its first directory: give it a scratch one.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
inputs=("$scratch" "$root"/tests/fixtures/{real,derived,crafted,suite,fits} "$root/tests/fuzz/regressions")
[ -d "$root/tests/fuzz/corpus" ] && inputs+=("$root/tests/fuzz/corpus")
"$dir/decode_fuzzer" -runs=0 -timeout=30 -rss_limit_mb=4000 "${inputs[@]}" 2>&1 | grep -E "INITED|DONE|ERROR|SUMMARY" || true
# libFuzzer exits non-zero on a crash, leak or timeout; pipefail carries that out.
exit "${PIPESTATUS[0]}"
