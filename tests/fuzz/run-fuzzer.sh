#!/bin/sh
# Runs a libFuzzer target on the committed corpus. New inputs go to WORKDIR/corpus (emptied first with --fresh,
# so that a short run starts from the committed inputs alone), crash inputs to WORKDIR/artifacts.
set -eu
usage="usage: run-fuzzer.sh [--fresh] FUZZER CORPUS WORKDIR [LIBFUZZER-OPTION...]"
fresh=false
if [ "${1:-}" = --fresh ]; then fresh=true; shift; fi
fuzzer=${1:?$usage} corpus=${2:?$usage} work=${3:?$usage}
shift 3
if $fresh; then rm -rf "$work/corpus"; fi
mkdir -p "$work/corpus" "$work/artifacts"
# 8 KiB inputs reach the settings reader's 4 KiB line limit; 10 s an input let the latitude iteration run its
# 32767 passes.
exec "$fuzzer" -max_len=8192 -timeout=10 -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$@" \
  "$work/corpus" "$corpus"
