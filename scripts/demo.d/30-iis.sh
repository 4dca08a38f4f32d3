# IIS 7+ configuration against the appcmd.exe stand-in: the windir variable names a folder whose
# system32\inetsrv\appcmd.exe is the stand-in (Wine resets windir from the Unix side, so it is set
# inside cmd), and MajorVersion 10 in the registry selects the appcmd path.
A="$B/bin/standins/appcmd-windir/system32/inetsrv"
printf 'site\t1\tDefault Web Site\tStarted\thttp/*:80:\napp\tDefault Web Site\t/\tDefaultAppPool\nvdir\tDefault Web Site\t/\t/\tC:\\inetpub\\wwwroot\n' >"$A/appcmd.state"
rm -f "$A/appcmd.journal"
"$B/wine-run" reg add 'HKLM\SOFTWARE\Microsoft\InetStp' /v MajorVersion /t REG_DWORD /d 10 /f >/dev/null
iis() { echo "\$ dkcall $*"; "$B/wine-run" cmd /c "set windir=${B//\//\\}\\bin\\standins\\appcmd-windir&& ${B//\//\\}\\bin\\dkcall.exe $*"; echo; }
iis Install_QIV_IIS7 1 'C:\QIV' qiv QIVPool 3
echo "appcmd.exe received:"; sed "s|^.*appcmd.exe ||" "$A/appcmd.journal"
iis GetIISSites
iis CreateSingleVirtualDirectory upload 'C:\up' 1 0 0 0 1 1
iis CheckVirtualDirectory upload 'C:\up' 1
iis DeleteVirtualDirectory upload 1
iis Uninstall_QIV_IIS7 1 'C:\QIV' qiv QIVPool 3
echo "configuration left:"; cat "$A/appcmd.state"
"$B/wine-run" reg delete 'HKLM\SOFTWARE\Microsoft\InetStp' /v MajorVersion /f >/dev/null
rm -f "$A"/appcmd.state "$A"/appcmd.journal
