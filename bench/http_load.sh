#!/usr/bin/env bash
# Load test of the web server against nginx serving the same static file.
#   keep-alive static file, a new connection per request, and 500 / 2000 idle
#   connections held open while the server's resident memory is read.
# Everything runs on 127.0.0.1 in a temporary folder and is bounded in time;
# the servers are stopped on exit. Needs wrk and nginx (scripts/setup with
# KAVRIX_BENCH_TOOLS=1, which scripts/bench does).
set -euo pipefail
cd "$(dirname "$0")/.."

DURATION=${HTTP_LOAD_DURATION:-10s}
THREADS=2
CONNECTIONS=50
FILE=s.css

server_bin=build/kavrixserver
server_args=(-foreground)
if [ ! -x "$server_bin" ]; then
  server_bin=build/bench/kavrix_bench_server
  server_args=()
fi
[ -x "$server_bin" ] || { echo "no server binary; run scripts/build first" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk missing (KAVRIX_BENCH_TOOLS=1 scripts/setup)" >&2; exit 1; }
NGINX=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$NGINX" ] || { echo "nginx missing (KAVRIX_BENCH_TOOLS=1 scripts/setup)" >&2; exit 1; }

work=$(mktemp -d /tmp/kavrix-http-load.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

wait_answer() {  # port: until the server answers, at most 10 s
  local i
  for i in $(seq 100); do
    if python3 - "$1" "$FILE" <<'PY' 2>/dev/null; then return 0; fi
import socket, sys
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1)
s.sendall(f"GET /{sys.argv[2]} HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n".encode())
sys.exit(0 if s.recv(12).startswith(b"HTTP/1.1 200") else 1)
PY
    sleep 0.1
  done
  echo "server on port $1 does not answer" >&2
  return 1
}

rps() {  # port, extra wrk args...: prints requests per second
  local port=$1
  shift
  timeout 60 wrk -t"$THREADS" -c"$CONNECTIONS" -d"$DURATION" "$@" \
    "http://127.0.0.1:$port/$FILE" | awk '/^Requests\/sec:/ {print $2}'
}

ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / float(sys.argv[2]):.2f}')" "$1" "$2"; }

# Our server: settings and web root in the temporary root.
our_port=$(free_port)
export KAVRIX_ROOT=$work/root HOME=$work/home
mkdir -p "$KAVRIX_ROOT/kavrixserver/etc" "$HOME"
printf 'localport=%s\r\n' "$our_port" >"$KAVRIX_ROOT/kavrixserver/etc/routing"
# A 1 MB full-size screenshot of an administrator and a session to fetch it
# with, for the picture download below.
etc=$KAVRIX_ROOT/kavrixserver/etc
PICTURE_QUERY="fullsizeimg.jpg?seluser=boss%40x.example&date=2026-03-02&time=10:00:00"
mkdir -p "$etc/userslist_" "$etc/SessionData" "$etc/Archive/boss@xexample/2026-03-02_qascreens"
printf 'maxid=1\r\n' >"$etc/userslist"
printf 'email=boss@x.example\r\nname=Boss\r\naccessadmin=1\r\n' >"$etc/userslist_/0"
printf 'user=boss%%40x.example' >"$etc/SessionData/lbenchpic1.sess"
picture=$etc/Archive/boss@xexample/2026-03-02_qascreens/10-00-00.jpg
{ printf '\xff\xd8'; head -c $((1024 * 1024 - 2)) /dev/urandom; } >"$picture"
"$server_bin" "${server_args[@]}" >"$work/server.out" 2>&1 &
our_pid=$!
pids+=("$our_pid")
wait_answer "$our_port"
webroot=$KAVRIX_ROOT/kavrixserver/etc/webcontrol
chmod -R a+rX "$work/root"

# nginx on the same file, as its own master with files in the work folder.
nginx_port=$(free_port)
mkdir -p "$work/nginx"
cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 2;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 4096; }
http {
  access_log off;
  keepalive_requests 1000000;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  server {
    listen 127.0.0.1:$nginx_port;
    root $webroot;
  }
}
CONF
"$NGINX" -p "$work/nginx" -c "$work/nginx/nginx.conf" >"$work/nginx/out" 2>&1 &
nginx_pid=$!
pids+=("$nginx_pid")
wait_answer "$nginx_port"

echo "file: $FILE ($(stat -c %s "$webroot/$FILE") bytes), wrk -t$THREADS -c$CONNECTIONS -d$DURATION"
ours=$(rps "$our_port")
theirs=$(rps "$nginx_port")
echo "keep-alive static:      kavrixserver $ours req/s, nginx $theirs req/s, ratio $(ratio "$ours" "$theirs") (target >= 0.80)"
ours=$(rps "$our_port" -H "Connection: close")
theirs=$(rps "$nginx_port" -H "Connection: close")
echo "connection per request: kavrixserver $ours req/s, nginx $theirs req/s, ratio $(ratio "$ours" "$theirs") (target >= 0.50)"

# The 1 MB picture: through the "fullsizeimg.jpg" handler (session, access
# rule, path check, audit row; a dynamic page, so one connection per
# request), beside the same bytes as a static file of both servers.
cp "$picture" "$webroot/big.jpg"
FILE=big.jpg
ours_static=$(rps "$our_port" -H "Connection: close")
theirs=$(rps "$nginx_port" -H "Connection: close")
FILE=$PICTURE_QUERY
# Only the picture itself counts: a refusal or an error page would be fast.
python3 - "$our_port" "$PICTURE_QUERY" <<'PY' || { echo "fullsizeimg.jpg does not serve the picture" >&2; exit 1; }
import socket, sys
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=10)
s.sendall(f"GET /{sys.argv[2]} HTTP/1.1\r\nHost: x\r\nCookie: sess=lbenchpic1\r\nConnection: close\r\n\r\n".encode())
data = b""
while True:
    chunk = s.recv(65536)
    if not chunk:
        break
    data += chunk
sys.exit(0 if data.startswith(b"HTTP/1.1 200") and b"Content-Length: 1048576\r\n" in data else 1)
PY
ours=$(rps "$our_port" -H "Connection: close" -H "Cookie: sess=lbenchpic1")
echo "1 MB picture, connection per request: fullsizeimg.jpg $ours req/s, kavrixserver static $ours_static req/s," \
  "nginx $theirs req/s, handler/static $(ratio "$ours" "$ours_static"), handler/nginx $(ratio "$ours" "$theirs")" \
  "(target >= 0.80)"
FILE=s.css

# A POST of the largest form body the server reads ("a=1&" repeated, 1 MB)
# to the logon page: the body is parsed before any page runs, logged on or not.
form_ms=$(python3 - "$our_port" <<'PY'
import socket, sys, time
body = b"a=1&" * 250000
request = (b"POST / HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
           b"Content-Length: %d\r\n\r\n" % len(body)) + body
best = None
for _ in range(5):
    s = socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=30)
    start = time.monotonic()
    s.sendall(request)
    while s.recv(65536):
        pass
    elapsed = (time.monotonic() - start) * 1000
    best = elapsed if best is None else min(best, elapsed)
    s.close()
print(f"{best:.1f}")
PY
)
echo "1 MB form POST:         kavrixserver $form_ms ms for the whole request (best of 5; target < 50 ms)"

for count in 500 2000; do
  echo "idle $count: kavrixserver $(timeout 60 python3 bench/idle_clients.py --port "$our_port" \
    --pid "$our_pid" --count "$count" --threads-per-connection) (target < 200 MiB at 2000)"
done
