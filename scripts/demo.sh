#!/usr/bin/env bash
# The main job, shown end to end: builds the i686 deliverables and the x86_64 test build, then
# calls exports of deploykit.dll through dkcall under wine64, as an installer would.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
for preset in win32 win32-nometabase win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "${DK_JOBS:-2}" >/dev/null
done
echo "deliverables: build/win32/bin/deploykit.dll, build/win32-nometabase/bin/deploykit.dll"

B=build/win64
dk() {
  echo "\$ dkcall $*"
  "$B/wine-run" "$B/bin/dkcall.exe" "$@"
  echo
}
export DK_DEMO_DIR="$PWD/$B/demo"
rm -rf "$DK_DEMO_DIR" && mkdir -p "$DK_DEMO_DIR"

dk --list
dk TEST_esegui "cmd /c echo hello from a hidden console"
echo "c:/qiv_test.log now holds:"; cat "$B/wineprefix/drive_c/qiv_test.log"; echo

for part in scripts/demo.d/*.sh; do
  [ -e "$part" ] || continue
  echo "=== $(basename "$part" .sh)"
  # shellcheck source=/dev/null
  . "$part"
done
"$B/wine-run" cmd /c exit >/dev/null
WINEPREFIX="$PWD/$B/wineprefix" wineserver -k || true
