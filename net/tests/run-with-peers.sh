#!/usr/bin/env bash
# Runs one Windows test program under Wine with real peers on loopback: the scripted servers of
# net_peers.py with Python's stock HTTP server over a folder of real files, and microsocks
# (SOCKS5, without and with a password) when it is installed. Ports go to the program in the environment.
# Every server is bounded in time and is stopped on every way out of this script.
set -u
exe=$1; shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
lifetime=240
work=$(mktemp -d /tmp/zel-net-peers.XXXXXX)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

wait_port() { # host port
  local i
  for i in $(seq 1 100); do
    python3 -c "import socket,sys; socket.create_connection(('$1',$2),timeout=0.2).close()" 2>/dev/null && return 0
    sleep 0.05
  done
  echo "peer on port $2 did not start" >&2
  return 1
}

# Real files nobody here wrote, served byte for byte by the stock server.
mkdir -p "$work/files"
cp /usr/share/common-licenses/GPL-3 "$work/files/GPL-3"
cp /bin/ls "$work/files/ls.bin"
[ -f /usr/share/doc/base-passwd/users-and-groups.html ] &&
  cp /usr/share/doc/base-passwd/users-and-groups.html "$work/files/users-and-groups.html"

timeout "$lifetime" python3 "$here/net_peers.py" --portfile "$work/ports" --lifetime "$lifetime" \
  --log "$work/peers.log" --files "$work/files" >"$work/peers.out" 2>&1 &
pids+=($!)

for i in $(seq 1 100); do [ -f "$work/ports" ] && break; sleep 0.05; done
[ -f "$work/ports" ] || { echo "the scripted peers did not start" >&2; cat "$work/peers.out" >&2; exit 1; }
export ZEL_NET_HTTP_PORT=$(sed -n 's/^HTTP=//p' "$work/ports")
export ZEL_NET_SOCKS4_PORT=$(sed -n 's/^SOCKS4=//p' "$work/ports")
export ZEL_NET_SOCKS5STUB_PORT=$(sed -n 's/^SOCKS5=//p' "$work/ports")
export ZEL_NET_SOCKS5OPEN_PORT=$(sed -n 's/^SOCKS5OPEN=//p' "$work/ports")
export ZEL_NET_FILES_PORT=$(sed -n 's/^FILES=//p' "$work/ports")
export ZEL_NET_FILES_DIR="Z:$work/files"

if command -v microsocks >/dev/null; then
  p=$(free_port)
  timeout "$lifetime" microsocks -i 127.0.0.1 -p "$p" >"$work/ms.out" 2>&1 &
  pids+=($!)
  q=$(free_port)
  timeout "$lifetime" microsocks -i 127.0.0.1 -p "$q" -u zeluser -P zelpass >"$work/ms-auth.out" 2>&1 &
  pids+=($!)
  wait_port 127.0.0.1 "$p" && export ZEL_NET_MICROSOCKS_PORT=$p
  wait_port 127.0.0.1 "$q" && export ZEL_NET_MICROSOCKS_AUTH_PORT=$q
else
  echo "microsocks is not installed: the tests through a stock SOCKS5 server are skipped" >&2
fi

# East of Greenwich, so local and universal time differ in the date headers.
export TZ=IST-5:30
"$root/tools/wine-run" "$exe" "$@"
rc=$?
if [ $rc -ne 0 ]; then
  echo "--- peers log" >&2
  cat "$work/peers.log" "$work/peers.out" 2>/dev/null | tail -40 >&2
fi
exit $rc
