#!/usr/bin/env bash
# The core library keeps no program-wide state: no object of the quarn namespace in
# a writable data section. Constant tables (read-only, or read-only after relocation)
# are fine; so is a value computed once that never changes, named in ALLOWED.
# Usage: no_mutable_globals_test.sh libquarn_core.a
set -euo pipefail
library=$1
# A constant of the machine, found at the first scan.
ALLOWED='^quarn::detail::HaveAvx2\(\)::have$'

# Exported writable data, as nm names it: B (zero-initialised) and D (initialised).
exported=$(nm -C --defined-only "$library" 2>/dev/null | awk '$2 ~ /^[BD]$/' |
           sed 's/^[0-9a-f]* [BD] //' | grep '^quarn::' || true)
# Local writable data: objects in .data or .bss sections, relocation read-only aside.
local_data=$(objdump -t "$library" 2>/dev/null |
             awk '$0 ~ / O / && ($0 ~ / \.bss/ || $0 ~ / \.data/) && $0 !~ /\.data\.rel\.ro/ {print $NF}' |
             c++filt | grep '^quarn::' || true)
offenders=$(printf '%s\n%s\n' "$exported" "$local_data" | grep -v '^$' | grep -Ev "$ALLOWED" |
            sort -u || true)
if [ -n "$offenders" ]; then
  echo "writable data of the quarn namespace in $library:"
  echo "$offenders"
  exit 1
fi
echo "no writable data of the quarn namespace in $library"
