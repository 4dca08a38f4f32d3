# String and file encryption.
dk cryptString "Hello, world" secret12
HEX=$("$B/wine-run" "$B/bin/dkcall.exe" cryptString "Hello, world" secret12 | tr -d '\r')
dk decryptString "$HEX" secret12
echo "the same by hand with OpenSSL (only the first 8 key bytes count):"
printf %s "$HEX" | xxd -r -p | openssl enc -d -des-ecb -nopad -K "$(printf %s secret12 | xxd -p)" \
  -provider legacy -provider default | tr -d '\0'
echo; echo
TEA=$("$B/wine-run" "$B/bin/dkcall.exe" cryptStringTEA "s3cret pass" | tr -d '\r')
dk decryptStringTEA "$TEA" plorvamuqe5
dk pyx_cryptString hello
dk MD5pwd Secret1
printf 'user=sa\r\npassword=hunter2\r\n' > "$DK_DEMO_DIR/settings.ini"
dk cryptFile "Z:$DK_DEMO_DIR/settings.ini"
dk cryptFile "Z:$DK_DEMO_DIR/settings.ini"
echo "read back with dkcontainer:"
"$B/wine-run" "$B/bin/dkcontainer.exe" --strip "Z:$DK_DEMO_DIR/settings.ini"
echo
