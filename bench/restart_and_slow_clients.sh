#!/usr/bin/env bash
# Two figures of the server under a bad day, on 127.0.0.1 in a temporary
# folder, bounded in time:
#   restart:      kill -9 while a station and a browser are connected, start
#                 again at once, and time until a page is answered;
#   slow clients: 300 clients that sent part of a request head and went
#                 quiet, under an open-file limit of 1,024 (soft 256), and the
#                 time a normal page request takes meanwhile.
set -euo pipefail
cd "$(dirname "$0")/.."

server_bin=build/kavrixserver
[ -x "$server_bin" ] || { echo "no server binary; run scripts/build first" >&2; exit 1; }

work=$(mktemp -d /tmp/kavrix-restart.XXXXXX)
trap 'rm -rf "$work"' EXIT

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
export KAVRIX_ROOT=$work/root HOME=$work/home
mkdir -p "$KAVRIX_ROOT/kavrixserver/etc" "$HOME"
printf 'localport=%s\r\n' "$port" >"$KAVRIX_ROOT/kavrixserver/etc/routing"

SERVER_BIN=$server_bin timeout 300 python3 - "$port" "$work" <<'PY'
import os, signal, socket, subprocess, sys, time
port, work = int(sys.argv[1]), sys.argv[2]
program = os.environ.get("SERVER_BIN", "build/kavrixserver")
running = []

def start(*limit):
    out = open(os.path.join(work, "server.out"), "ab")
    process = subprocess.Popen(["prlimit", *limit, "--", program, "-foreground"], stdout=out, stderr=out)
    running.append(process)
    return process

def answered(limit_s=90):
    """Milliseconds until GET /s.css is answered, or None."""
    begin = time.monotonic()
    while time.monotonic() - begin < limit_s:
        try:
            s = socket.create_connection(("127.0.0.1", port), timeout=5)
            s.sendall(b"GET /s.css HTTP/1.0\r\n\r\n")
            if s.recv(12).startswith(b"HTTP/1.1 200"):
                return (time.monotonic() - begin) * 1000
        except OSError:
            pass
        time.sleep(0.01)
    return None

def main():
  server = start()
  assert answered() is not None, "server does not answer"
  station = socket.create_connection(("127.0.0.1", port))
  station.sendall(b"GET /connect HTTP/1.0\r\n\r\n")
  station.recv(100)
  browser = socket.create_connection(("127.0.0.1", port))
  browser.sendall(b"GET /s.css HTTP/1.1\r\nHost: x\r\n\r\n")
  browser.recv(100)
  server.send_signal(signal.SIGKILL)
  server.wait()
  server = start()
  ms = answered()
  print(f"restart after kill -9 with a station and a browser connected: "
        + (f"{ms:.0f} ms to the first answer" if ms is not None else "no answer within 90 s")
        + " (target < 1000 ms)")
  station.close(); browser.close()
  server.send_signal(signal.SIGTERM); server.wait()

  server = start("--nofile=" + os.environ.get("SLOW_CLIENTS_NOFILE", "256:1024"))
  assert answered() is not None
  slow = []
  refused = 0
  for _ in range(300):
      try:
          s = socket.create_connection(("127.0.0.1", port), timeout=5)
          s.sendall(b"GET /s.css HTTP/1.1\r\nHo")
          slow.append(s)
      except OSError:
          refused += 1
  ms = answered(30)
  print(f"300 slow clients (nofile soft:hard {os.environ.get('SLOW_CLIENTS_NOFILE', '256:1024')}): {len(slow)} connected, {refused} failed; a page request "
        + (f"answered in {ms:.0f} ms" if ms is not None else "not answered within 30 s"))
  server.send_signal(signal.SIGKILL); server.wait()

try:
  main()
finally:
  for process in running:
    if process.poll() is None:
      process.kill()
      process.wait()
PY
