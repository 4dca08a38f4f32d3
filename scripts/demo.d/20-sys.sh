# Registry and host utilities.
W="$B/wine-run"
dk ComputerName
dk getIPs
dk checkTCPport 127.0.0.1 8080
dk checkString "user_name" 2
dk randomString 12 2
dk getOSArchitecture
dk x_days_from_now 30
"$W" reg add 'HKLM\SOFTWARE\DemoVendor\Old\App' /v InstallDir /t REG_SZ /d 'C:\Program Files\App' /f >/dev/null
"$W" reg add 'HKLM\SOFTWARE\DemoVendor\Old\App\Plugins\Mail' /v Enabled /t REG_DWORD /d 1 /f >/dev/null
dk ReadKeyValue 'SOFTWARE\DemoVendor\Old\App' InstallDir
dk ReadSubKeys 'SOFTWARE\DemoVendor\Old\App'
dk RegDeleteKeyNT 'SOFTWARE\DemoVendor\Old\App'
dk RenameRegistryKey 2 'SOFTWARE\DemoVendor\Old\App' 'SOFTWARE\DemoVendor\New\App'
dk RenameRegistryKey 2 'SOFTWARE\DemoVendor\New\App' 'SOFTWARE\DemoVendor\New\App\Inner'
dk ReadSubKeys 'SOFTWARE\DemoVendor'
printf 'Setup finished OK\r\n' > "$DK_DEMO_DIR/setup.log"
dk findInFile "Z:$DK_DEMO_DIR/setup.log" 'finished ok' 0
"$W" reg delete 'HKLM\SOFTWARE\DemoVendor' /f >/dev/null
