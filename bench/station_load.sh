#!/usr/bin/env bash
# Load test of the station protocol: 500 stations of 500 users in 50 teams
# log on to build/kavrixserver, each sends an activity record every second and
# a presence change every 10 s for STATION_LOAD_SECONDS (default 60). Prints
# the records stored against those sent, the presence fan-out latency to the
# team mates' stations, the server's CPU use over the run and its memory, and
# how long the web panel takes to answer a report (a time sheet, fetched once
# a second through the run by an administrator's session).
# STATION_LOAD_DEAF=N makes N of the stations never read (nor send): the
# others' figures must hold all the same.
# Everything runs on 127.0.0.1 in a temporary data root that is removed on
# exit; the server is stopped on exit.
# STATION_LOAD_PERF=FILE also records a perf profile of the server over the
# run into FILE (see where its time goes with: perf report -i FILE); the
# clock event, so that it works where hardware counters do not.
set -euo pipefail
cd "$(dirname "$0")/.."

STATIONS=${STATION_LOAD_STATIONS:-500}
TEAMS=${STATION_LOAD_TEAMS:-50}
SECONDS_RUN=${STATION_LOAD_SECONDS:-60}
DEAF=${STATION_LOAD_DEAF:-0}

server_bin=build/kavrixserver
sim_bin=build/kavrixstation-sim
for bin in "$server_bin" "$sim_bin"; do
  [ -x "$bin" ] || { echo "$bin missing; run scripts/build first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kavrix-station-load.XXXXXX)
server_pid=
page_pid=
cleanup() {
  if [ -n "$page_pid" ]; then
    kill "$page_pid" 2>/dev/null || true
    wait "$page_pid" 2>/dev/null || true
  fi
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
export KAVRIX_ROOT=$work/root HOME=$work/home
mkdir -p "$KAVRIX_ROOT/kavrixserver/etc" "$HOME"
printf 'localport=%s\r\n' "$port" >"$KAVRIX_ROOT/kavrixserver/etc/routing"
# A thousand connections (stations and the odd page) need more descriptors
# than some shells allow by default.
ulimit -n 8192 2>/dev/null || true

"$sim_bin" --make-users "$STATIONS" --teams "$TEAMS" --users-file "$work/users"
# The first simulated user is also an administrator, with a panel session.
etc=$KAVRIX_ROOT/kavrixserver/etc
admin_record=$(grep -l -i '^email=sim0001@example.com' "$etc"/userslist_/* | head -1)
sed -i 's/^accessadmin=0/accessadmin=1/' "$admin_record"
mkdir -p "$etc/SessionData"
printf 'user=sim0001%%40example.com' >"$etc/SessionData/lstatload1.sess"

"$server_bin" -foreground >"$work/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
  if python3 -c 'import socket,sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), timeout=1)' "$port" 2>/dev/null; then
    break
  fi
  sleep 0.1
done

perf_pid=
if [ -n "${STATION_LOAD_PERF:-}" ]; then
  # Started with the logons, which take a few seconds of the run's length.
  perf record -e cpu-clock -F 499 -g -p "$server_pid" -o "$STATION_LOAD_PERF" -- sleep $((SECONDS_RUN + 5)) \
    >"$work/perf.out" 2>&1 &
  perf_pid=$!
fi

# The report fetches, through the logons and the run, until the simulator
# is done; the figure is of the run (its seconds and the simulator's 3 s of
# reading after it, counted back from the end), the logons' printed apart.
python3 - "$port" "$work/sim.done" "$work/page.out" "$SECONDS_RUN" <<'PY' &
import os, socket, sys, time
port, done, out, seconds = int(sys.argv[1]), sys.argv[2], sys.argv[3], int(sys.argv[4])
path = "/timesheet?seluser=sim0001%40example.com"
times, failures = [], 0
while not os.path.exists(done):
    started = time.monotonic()
    try:
        s = socket.create_connection(("127.0.0.1", port), timeout=10)
        s.sendall(f"GET {path} HTTP/1.1\r\nHost: x\r\nCookie: sess=lstatload1\r\nConnection: close\r\n\r\n".encode())
        answer = b""
        while chunk := s.recv(65536):
            answer += chunk
        s.close()
        if answer.startswith(b"HTTP/1.1 200") and b"Time Sheet" in answer:
            times.append((started, (time.monotonic() - started) * 1000))
        else:
            failures += 1
    except OSError:
        failures += 1
    time.sleep(max(0, 1 - (time.monotonic() - started)))
run_start = time.monotonic() - seconds - 3
def spread(values):
    values = sorted(values)
    if not values:
        return "median 0.0 p99 0.0"
    return f"median {values[(len(values) - 1) // 2]:.1f} p99 {values[max(0, -(-len(values) * 99 // 100) - 1)]:.1f}"
run = [ms for at, ms in times if at >= run_start]
logons = [ms for at, ms in times if at < run_start]
with open(out, "w") as f:
    f.write(f"panel-report-ms fetched {len(run)} failed {failures} {spread(run)} "
            f"(a time sheet during the run; target p99 < 200)\n")
    f.write(f"panel-report-ms-logons fetched {len(logons)} {spread(logons)} (while the stations logged on)\n")
PY
page_pid=$!

deaf_args=()
[ "$DEAF" -gt 0 ] && deaf_args=(--deaf "$DEAF")
"$sim_bin" --port "$port" --stations "$STATIONS" --users-file "$work/users" \
  --duration "$SECONDS_RUN" --server-pid "$server_pid" "${deaf_args[@]}" | tee "$work/sim.out" ||
  echo "the simulator reported a failure (above)"
touch "$work/sim.done"

[ -n "$perf_pid" ] && wait "$perf_pid"
wait "$page_pid"
page_pid=
cat "$work/page.out"
sent=$(sed -n 's/^activity-sent \([0-9]*\)$/\1/p' "$work/sim.out")
archive=$KAVRIX_ROOT/kavrixserver/etc/Archive
count_rows() {
  find "$archive" -name '*_activity.csv' -print0 2>/dev/null | xargs -0 -r cat | wc -l
}
# The server may still be writing what the stations sent just before they
# closed; wait for the count to settle, at most 20 s.
stored=$(count_rows)
for _ in $(seq 100); do
  [ "$stored" -ge "${sent:-0}" ] && break
  sleep 0.2
  stored=$(count_rows)
done
echo "activity records: sent ${sent:-0}, stored $stored, $((stored / SECONDS_RUN)) stored per second (target: every record stored)"
if [ "$stored" -ne "${sent:-0}" ]; then
  echo "MISSED: $(( ${sent:-0} - stored )) activity records not stored"
fi
