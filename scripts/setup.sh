#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine. Safe to run again: it only
# installs what is missing, and says nothing unless something goes wrong.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  updated=0
fi

for p in cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest libgtest-dev \
         libbenchmark-dev g++-mingw-w64-i686 wine wine32:i386 xvfb imagemagick fonts-wqy-microhei \
         locales iproute2 curl python3 xdotool; do
  have "$p" || need+=("$p")
done

if ((${#need[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives code page 936 (GBK).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
