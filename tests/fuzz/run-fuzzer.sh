#!/bin/sh
# Runs one libFuzzer target from the committed corpus.
# Usage: run-fuzzer.sh [--fresh] FUZZER CORPUS WORKDIR [LIBFUZZER-OPTION...]
# New inputs go to WORKDIR/corpus, never into the committed CORPUS, and crash
# inputs to WORKDIR/artifacts. --fresh empties WORKDIR/corpus first, so that a
# short run always starts from the committed inputs alone.
set -eu
fresh=0
if [ "${1:-}" = --fresh ]; then fresh=1; shift; fi
if [ $# -lt 3 ]; then
  echo "usage: run-fuzzer.sh [--fresh] FUZZER CORPUS WORKDIR [OPTION...]" >&2
  exit 2
fi
fuzzer=$1 corpus=$2 work=$3
shift 3
[ "$fresh" = 1 ] && rm -rf "$work/corpus"
mkdir -p "$work/corpus" "$work/artifacts"
# Inputs up to 8 KiB reach the settings reader's 4 KiB line limit. A single
# input gets 10 s: the latitude iteration may run its full 32767 passes.
exec "$fuzzer" -max_len=8192 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "$@" "$work/corpus" "$corpus"
