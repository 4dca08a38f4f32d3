#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine (run as root).
set -euo pipefail
packages=(
  cmake ninja-build python3 git procps util-linux xxd openssl
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64
  g++ clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev libssl-dev zlib1g-dev
  mariadb-server unixodbc odbc-mariadb libsqliteodbc
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
