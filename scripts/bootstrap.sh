#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need, only those missing.
# `scripts/bootstrap.sh package` adds those of make package and make package-test.
set -euo pipefail
packages=(build-essential cmake pkg-config libsqlite3-dev libzip-dev libpugixml-dev
          qt6-base-dev fonts-noto-cjk  # the windows, and a Japanese font for them
          mdbtools-dev libmdb3 libglib2.0-dev  # the Jet library of import-mdb
          nettle-dev  # SHA-256 of the imported .mdb
          libgtest-dev libgmock-dev libbenchmark-dev sqlite3
          libgumbo-dev  # the page tests parse the pages as a browser does
          unzip  # the output test and bench/ unpack the workbooks part by part
          librsvg2-bin  # rsvg-convert: resources/make_icon.sh draws the windows' icon
          clang libclang-rt-14-dev)  # clang and its libFuzzer and sanitizer runtimes: make fuzz
if [ "${1:-}" = package ]; then
  packages+=(dpkg-dev file  # CPack's DEB generator: dpkg-shlibdeps finds the dependencies
             lintian desktop-file-utils appstream  # the package's checks
             strace)  # package-test: what the installed program writes, and where
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
