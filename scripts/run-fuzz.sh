#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time: first over every kept input
# (seeds and the regression inputs of earlier findings), then on new inputs.
# Any single allocation over 256 MB, or more than 512 MB resident, is a
# finding: no input may make a decoder allocate far beyond the size limits.
# AddressSanitizer keeps freed blocks back in a quarantine, 256 MB unless told
# otherwise, and that counts as resident too: a run over many large pictures
# in a row then passed 512 MB with 24 MB live. The quarantine here is kept
# to 32 MB, so the limit measures what the code holds (an ASAN_OPTIONS given
# by the caller still wins).
#   run-fuzz.sh TARGET SECONDS WORK_DIR KEPT_DIR [LIBFUZZER_OPTION...]
# Further options go to libFuzzer after these defaults, and win over them
# (for example a longer -timeout on a machine busy with other work).
# A longer run is the same command with more seconds, for example
#   scripts/run-fuzz.sh build/fuzz/tests/forms/fuzz_template_reader 600 /tmp/work tests/forms/corpus/fuzz_template_reader
set -euo pipefail
target=$1 seconds=$2 work=$3 kept=$4
shift 4
mkdir -p "$work"
export ASAN_OPTIONS="quarantine_size_mb=32${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
exec "$target" -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=256 -rss_limit_mb=512 \
  -print_final_stats=1 "$@" "$work" "$kept"
