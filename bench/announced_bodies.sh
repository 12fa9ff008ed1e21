#!/usr/bin/env bash
# What clients that announce large request bodies cost: 300 and then 1,000
# connections each send "POST /logon" with "Content-Length: 1000000" and one
# byte of the body, and stay. Prints the server's resident memory with them
# held, and whether a page request is still answered meanwhile. The server
# runs from `SERVER_BIN` (default build/kavrixserver) in a temporary folder
# on 127.0.0.1, bounded in time.
set -euo pipefail
cd "$(dirname "$0")/.."

server_bin=${SERVER_BIN:-build/kavrixserver}
[ -x "$server_bin" ] || { echo "no server binary; run scripts/build first" >&2; exit 1; }

work=$(mktemp -d /tmp/announced-bodies.XXXXXX)
trap 'rm -rf "$work"' EXIT

# One fresh server (port, folder) per count.
for count in ${COUNTS:-300 1000}; do
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
export KAVRIX_ROOT=$work/$count/root HOME=$work/$count/home
mkdir -p "$KAVRIX_ROOT/kavrixserver/etc" "$HOME"
printf 'localport=%s\r\n' "$port" >"$KAVRIX_ROOT/kavrixserver/etc/routing"

SERVER_BIN=$server_bin timeout 120 python3 - "$port" "$work/$count" "$count" <<'PY'
import os, socket, subprocess, sys, time
port, work, count = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
program = os.environ["SERVER_BIN"]
HEAD = b"POST /logon HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1000000\r\n\r\nx"

def field(pid, name):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(name + ":"):
                return int(line.split()[1])
    return 0

def answered(limit_s=30):
    begin = time.monotonic()
    while time.monotonic() - begin < limit_s:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
                s.sendall(b"GET /s.css HTTP/1.0\r\n\r\n")
                if s.recv(12).startswith(b"HTTP/1.1 200"):
                    return (time.monotonic() - begin) * 1000
        except OSError:
            pass
        time.sleep(0.01)
    return None

def sockets(pid):
    count = 0
    for name in os.listdir(f"/proc/{pid}/fd"):
        try:
            count += os.readlink(f"/proc/{pid}/fd/{name}").startswith("socket:")
        except OSError:
            pass
    return count

def wait_accepted(pid, wanted, limit_s=10):
    # Two short of the count: the probe's connection may still have been
    # closing when the base was counted.
    deadline = time.monotonic() + limit_s
    while sockets(pid) < wanted - 2 and time.monotonic() < deadline:
        time.sleep(0.005)

def measure(count):
    out = open(os.path.join(work, "server.out"), "ab")
    server = subprocess.Popen(["prlimit", "--nofile=20000:20000", "--", program, "-foreground"],
                              stdout=out, stderr=out)
    try:
        assert answered() is not None, "server does not answer"
        base_sockets = sockets(server.pid)
        base_rss = field(server.pid, "VmRSS")
        held = []
        for _ in range(count):
            s = socket.create_connection(("127.0.0.1", port), timeout=5)
            s.sendall(HEAD)
            held.append(s)
            # A thread per connection: let the listener catch up now and
            # then rather than outrun its backlog.
            if len(held) % 40 == 0:
                wait_accepted(server.pid, base_sockets + len(held))
        wait_accepted(server.pid, base_sockets + count)
        # Accepted is not yet read: give the threads a moment for their
        # heads and bytes before the memory is read.
        time.sleep(1)
        rss = field(server.pid, "VmRSS")
        ms = answered()
        print(f"{count} connections announcing 1,000,000-byte bodies with 1 byte sent: "
              f"resident {rss / 1024:.0f} MiB (idle server {base_rss / 1024:.0f} MiB); a page request "
              + (f"answered in {ms:.0f} ms" if ms is not None else "not answered within 30 s"))
        for s in held:
            s.close()
    finally:
        server.kill()
        server.wait()

measure(count)
PY
done
