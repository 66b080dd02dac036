#!/bin/sh
# Runs a libFuzzer target on the committed corpus. New inputs go to WORKDIR/corpus (emptied first with --fresh,
# so that a short run starts from the committed inputs alone), crash inputs to WORKDIR/artifacts.
set -eu
usage="usage: run-fuzzer.sh [--fresh] FUZZER CORPUS WORKDIR [LIBFUZZER-OPTION...]"
if [ "${1:-}" = --fresh ]; then shift; rm -rf "${3:?$usage}/corpus"; fi
fuzzer=${1:?$usage} corpus=${2:?$usage} work=${3:?$usage}
shift 3
mkdir -p "$work/corpus" "$work/artifacts"
# 8 KiB reach the settings reader's 4 KiB line limit; 10 s let the latitude iteration run all its 32767 passes.
exec "$fuzzer" -max_len=8192 -timeout=10 -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$@" \
  "$work/corpus" "$corpus"
