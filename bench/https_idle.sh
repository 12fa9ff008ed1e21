#!/usr/bin/env bash
# What idle HTTPS connections cost the server, on 127.0.0.1 in a temporary
# folder: 2,000 TLS connections (COUNT to change it) complete their handshake
# and then say nothing; the server's resident memory is printed before and
# with them, and a fresh HTTPS request must still be answered. Bounded in
# time: the server drops a connection that stays silent for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

server_bin=build/kavrixserver
[ -x "$server_bin" ] || { echo "no server binary; run scripts/build first" >&2; exit 1; }
count=${COUNT:-2000}

work=$(mktemp -d /tmp/kavrix-https-idle.XXXXXX)
trap 'rm -rf "$work"' EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
port=$(free_port)
https_port=$(free_port)
export KAVRIX_ROOT=$work/root HOME=$work/home
mkdir -p "$KAVRIX_ROOT/kavrixserver/etc" "$HOME"
printf 'localport=%s\r\nhttpsport=%s\r\n' "$port" "$https_port" >"$KAVRIX_ROOT/kavrixserver/etc/routing"

"$server_bin" -foreground >"$work/server.out" 2>&1 &
server=$!
stop() { kill -TERM "$server" 2>/dev/null; wait "$server" 2>/dev/null || true; rm -rf "$work"; }
trap stop EXIT

timeout 120 python3 bench/idle_tls_clients.py --port "$https_port" --pid "$server" --count "$count" \
  --cafile "$KAVRIX_ROOT/kavrixserver/etc/https-certificate.pem"
