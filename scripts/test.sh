#!/usr/bin/env bash
# Builds every preset and runs every test: the portable code natively under AddressSanitizer and
# UBSan, the fuzzers' smoke runs, the Windows code under wine64, and the export check of the two
# i686 deliverables.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1

jobs=${DK_JOBS:-2}
passed=0
failed=0
status=0

run_preset() {
  local preset=$1
  echo "=== $preset"
  if ! cmake --preset "$preset" >"build-$preset.log" 2>&1; then
    cat "build-$preset.log"; echo "configure of $preset failed"; status=1; failed=$((failed + 1)); return
  fi
  if ! cmake --build --preset "$preset" -j "$jobs" >>"build-$preset.log" 2>&1; then
    tail -n 80 "build-$preset.log"; echo "build of $preset failed"; status=1; failed=$((failed + 1)); return
  fi
  rm -f "build-$preset.log"
  [ "$preset" = bench ] && return
  local out
  out=$(ctest --preset "$preset" 2>&1)
  local rc=$?
  echo "$out" | grep -vE '^\s+Start |Test +#[0-9]+: .*Passed' || true
  local line
  line=$(echo "$out" | grep -E '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' | tail -n 1)
  if [ -n "$line" ]; then
    local total fails
    total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
    fails=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/')
    passed=$((passed + total - fails))
    failed=$((failed + fails))
  fi
  if [ $rc -ne 0 ]; then
    status=1
    [ -z "$line" ] && failed=$((failed + 1))
  fi
}

for preset in native fuzz win32 win32-nometabase win64 bench; do
  run_preset "$preset"
done

echo "=== README"
if python3 tools/gen_exports.py src/frame/exports.tsv --check-readme README.md; then
  passed=$((passed + 1))
else
  failed=$((failed + 1)); status=1
fi

echo
echo "total: $passed passed, $failed failed"
exit $status
