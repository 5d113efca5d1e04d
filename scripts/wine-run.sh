#!/usr/bin/env bash
# wine-run.sh PREFIX [--init | program.exe args...]
# Runs a Windows program under Wine in a private prefix with code page 936 (GBK).
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The first start creates the prefix (10-20 s); a lock keeps parallel tests from racing on it.
mkdir -p "$(dirname "$prefix")"
if [ ! -f "$prefix/.vd-ready" ]; then
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -f "$prefix/.vd-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    # Debian's Wine does not find its own Marlett, so title-bar buttons would draw as letters.
    [ -f /usr/share/wine/fonts/marlett.ttf ] &&
      cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$prefix/.vd-ready"
  fi
  flock -u 9
fi
[ "${1:-}" = --init ] && exit 0
exec wine "$@"
