#!/bin/sh
# Registers the ADSI stand-in in a build's Wine prefix as the provider of the "IIS:" namespace,
# for trying the IIS 6 path by hand (tests register it themselves):
#   tests/standins/adsi/register.sh build/win64          register
#   tests/standins/adsi/register.sh build/win64 remove   unregister
# The stand-in reads the metabase file named by DK_ADSI_METABASE (a Windows path), or
# metabase.txt beside the DLL.
set -e
build=$(cd "${1:?usage: $0 BUILD_DIR [remove]}" && pwd)
clsid='{6C1D8A52-3B4E-4F0A-9D27-5E8B1C0F7A31}'
progid='DeployKitTest.IISNamespace'
run="$build/wine-run"
if [ "$2" = remove ]; then
  "$run" reg delete 'HKLM\Software\Microsoft\ADs\Providers\IIS' /f >/dev/null 2>&1 || true
  "$run" reg delete "HKCR\\$progid" /f >/dev/null 2>&1 || true
  "$run" reg delete "HKCR\\CLSID\\$clsid" /f >/dev/null 2>&1 || true
  exit 0
fi
dll="Z:$(echo "$build/bin/standins/adsi_standin.dll" | tr / '\\')"
"$run" reg add 'HKLM\Software\Microsoft\ADs\Providers\IIS' /ve /d "$progid" /f >/dev/null
"$run" reg add "HKCR\\$progid\\CLSID" /ve /d "$clsid" /f >/dev/null
"$run" reg add "HKCR\\CLSID\\$clsid\\InprocServer32" /ve /d "$dll" /f >/dev/null
"$run" reg add "HKCR\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel /d Both /f >/dev/null
