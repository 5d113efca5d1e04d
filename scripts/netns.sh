#!/usr/bin/env bash
# netns.sh command args...
# Runs a command in a network namespace of its own: loopback only, the portal host mapped to
# 127.0.0.1, and a private Xvfb display, so nothing the program or a test does leaves the machine.
set -euo pipefail
if [ "${VD_IN_NETNS:-}" != 1 ]; then
  exec unshare -mn env VD_IN_NETNS=1 "$0" "$@"
fi
ip link set lo up
hosts=$(mktemp /tmp/vd-hosts.XXXXXX)
printf '127.0.0.1 localhost www.baidu.com\n::1 localhost ip6-localhost\n' >"$hosts"
chmod 644 "$hosts"
mount --bind "$hosts" /etc/hosts

if [ -z "${VD_KEEP_DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
fi
rc=0
"$@" || rc=$?
[ -n "${xvfb:-}" ] && { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f /tmp/.X$n-lock; }
rm -f "$hosts"
exit $rc
