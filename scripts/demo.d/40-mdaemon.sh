# MDaemon content-filter rules, with the MDUser stand-in in place of MDaemon's library.
MD="$B/wineprefix/drive_c/MDaemon"
KEY='HKLM\Software\Alt-N Technologies\MDaemon'
mkdir -p "$MD/App" "$MD/CFilter"
cp "$B/bin/standins/MDUser.dll" "$MD/App/"
printf '[Setup]\r\n' > "$MD/App/MDaemon.ini"
"$B/wine-run" reg add "$KEY" /v AppPath /d 'C:\MDaemon\App' /f >/dev/null
"$B/wine-run" reg add "$KEY" /v IniPath /d 'C:\MDaemon\App\MDaemon.ini' /f >/dev/null
printf '[Rule_1]\r\nRuleName=Spam\r\nEnable=Yes\r\n' > "$MD/CFilter/cfilter.ini"
export MDUSER_DBPATH='C:\MDaemon\CFilter\cfilter.ini' MDUSER_APPDIR='C:\MDaemon\App\'
dk createMDaemonCFRule 'C:\Mail In\QIV' 'QIV archive'
dk createMDaemonCFRule 'C:\Mail In\QIV' 'QIV archive'
echo "the rules file now (one Rule_QIV, first):"; cat "$MD/CFilter/cfilter.ini"; echo
dk createMDaemonCFRule 'C:\bad "folder"' 'QIV'
dk MDaemonDisableCFRules
echo "after disabling:"; cat "$MD/CFilter/cfilter.ini"; echo
"$B/wine-run" reg delete "$KEY" /f >/dev/null
dk MDaemonDisableCFRules
"$B/wine-run" reg delete 'HKLM\Software\Alt-N Technologies' /f >/dev/null 2>&1 || true
unset MDUSER_DBPATH MDUSER_APPDIR
rm -rf "$MD"
