#!/usr/bin/env bash
# run.sh: installs what is missing, builds Vendrilov.exe and starts it under Wine, inside a
# network namespace of its own where a small stand-in portal answers for www.baidu.com.
# Uses $DISPLAY when there is one; otherwise a private Xvfb, with a screenshot after a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${VD_BUILD_ROOT:-build}  # a second checkout or helper can build elsewhere
bash scripts/setup.sh
bash scripts/build.sh win32
exe=$PWD/$B/win32/src/app/Vendrilov.exe
export B VD_EXE="$exe"
export VD_KEEP_DISPLAY=${DISPLAY:-}
exec scripts/netns.sh bash -c '
  python3 scripts/fake_portal.py --port 80 --mode marker & portal=$!
  trap "kill $portal 2>/dev/null" EXIT
  prefix=$PWD/$B/win32/wineprefix
  scripts/wine-run.sh "$prefix" --init
  WINEPREFIX=$prefix wine reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Default /f >/dev/null 2>&1
  WINEPREFIX=$prefix wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /d 1024x768 /f >/dev/null 2>&1
  # The desktop that the calls above started has the old settings: let it end first.
  WINEPREFIX=$prefix wineserver -w
  if [ -z "$VD_KEEP_DISPLAY" ]; then
    (sleep 8; import -window root $B/run-screenshot.png && echo "screenshot: $B/run-screenshot.png") &
  fi
  scripts/wine-run.sh "$prefix" "$VD_EXE"
'
