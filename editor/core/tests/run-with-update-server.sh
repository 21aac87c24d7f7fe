#!/usr/bin/env bash
# Runs one Windows test program under Wine beside a stand-in update script on loopback; its port
# goes to the program as ZEL_UPDATE_PORT. The server is bounded in time and stopped on every way out.
set -u
exe=$1; shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
lifetime=240
work=$(mktemp -d /tmp/zel-update-server.XXXXXX)
pid=
cleanup() {
  [ -n "$pid" ] && { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

timeout "$lifetime" python3 "$here/update_server.py" --portfile "$work/ports" --lifetime "$lifetime" \
  >"$work/server.out" 2>&1 &
pid=$!
for i in $(seq 1 100); do [ -f "$work/ports" ] && break; sleep 0.05; done
[ -f "$work/ports" ] || { echo "the update server did not start" >&2; cat "$work/server.out" >&2; exit 1; }
export ZEL_UPDATE_PORT=$(sed -n 's/^PORT=//p' "$work/ports")

"$root/tools/wine-run" "$exe" "$@"
rc=$?
if [ $rc -ne 0 ]; then
  echo "--- update server log" >&2
  tail -40 "$work/server.out" >&2
fi
exit $rc
