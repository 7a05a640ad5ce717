#!/usr/bin/env bash
# The manual pages render without a single warning (and pass mandoc's lint where it is installed).
set -uo pipefail
status=0
for page in "$1"/*.1 "$1"/*.3; do
  out=$(groff -man -ww -z "$page" 2>&1)
  if command -v mandoc >/dev/null; then out+=$(mandoc -T lint -W style "$page" 2>&1); fi
  if [ -n "$out" ]; then echo "$page:"; echo "$out"; status=1; fi
done
exit "$status"
