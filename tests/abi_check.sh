#!/usr/bin/env bash
# Compares the built library LIB with the description of its 1.0.0 interface BASELINE: what
# 1.0.0 exported must stay as it was, and additions must come under a later version node.
set -euo pipefail
lib=$1 baseline=$2
if ! command -v abidiff >/dev/null; then
  echo "abidiff is not installed (Debian's abigail-tools): interface not checked"
  exit 77
fi
abidiff --no-added-syms "$baseline" "$lib" || { echo "FAIL: the 1.0.0 interface changed"; exit 1; }
old=$(grep -o "elf-symbol name='[^']*' [^>]*version='KELPA_1' " "$baseline" | sed "s/elf-symbol name='\([^']*\)'.*/\1/" | sort)
now=$(nm -D --defined-only "$lib" | awk '$3 ~ /@@KELPA_1$/ { sub(/@@.*/, "", $3); print $3 }' | sort)
[ "$old" = "$now" ] || { echo "FAIL: the KELPA_1 node differs from 1.0.0:"; diff <(echo "$old") <(echo "$now"); exit 1; }
echo "interface of $(basename "$lib") keeps 1.0.0"
