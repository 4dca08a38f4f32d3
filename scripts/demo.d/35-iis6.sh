# IIS 6: the same exports answer from the metabase through ADSI, here an ADSI provider stand-in
# registered for the "IIS:" namespace, which keeps its metabase in a text file.
printf '%s\n' '/W3SVC IIsWebService' \
  '/W3SVC/1 IIsWebServer' '  ServerComment=Default Web Site' '  ServerState:int=2' '  ServerBindings:list=:80:' \
  '/W3SVC/1/ROOT IIsWebVirtualDir' '  AnonymousUserName=IUSR_HOST' \
  '/W3SVC/2 IIsWebServer' '  ServerComment=Administration' '  ServerState:int=2' '/W3SVC/2/ROOT IIsWebVirtualDir' \
  '/W3SVC/3 IIsWebServer' '  ServerComment=Intranet' '  ServerState:int=4' '/W3SVC/3/ROOT IIsWebVirtualDir' \
  >"$DK_DEMO_DIR/metabase.txt"
export DK_ADSI_METABASE="Z:$DK_DEMO_DIR/metabase.txt"
tests/standins/adsi/register.sh "$B"
"$B/wine-run" reg add 'HKLM\SOFTWARE\Microsoft\InetStp' /v MajorVersion /t REG_DWORD /d 6 /f >/dev/null
dk GetIISSites
dk GetIISSiteNumber Intranet
dk GetIISSiteStatus "default web site"
dk GetIISUserName 1
dk GetIISIP 1
dk CreateVirtualDirectory web 'C:\product\web' bin 'C:\product\bin' 1
dk CheckVirtualDirectory web 'C:\product\web' 1
dk DeleteVirtualDirectory web 1
dk Install_QIV_IIS7 1 'C:\QIV' qiv QIVPool 3
echo "the build without the metabase client:"
dk --dll "Z:$PWD/$B/bin/nometabase/deploykit.dll" GetIISSites
dk --dll "Z:$PWD/$B/bin/nometabase/deploykit.dll" GetIISSiteNumber Intranet
dk --dll "Z:$PWD/$B/bin/nometabase/deploykit.dll" CreateVirtualDirectory web 'C:\product\web' bin 'C:\product\bin' 1
"$B/wine-run" reg delete 'HKLM\SOFTWARE\Microsoft\InetStp' /v MajorVersion /f >/dev/null
tests/standins/adsi/register.sh "$B" remove
unset DK_ADSI_METABASE
