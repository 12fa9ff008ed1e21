#!/usr/bin/env bash
# Load test of the station protocol: 500 stations of 500 users in 50 teams
# log on to build/kavrixserver, each sends an activity record every second and
# a presence change every 10 s for STATION_LOAD_SECONDS (default 60). Prints
# the records stored against those sent, the presence fan-out latency to the
# team mates' stations, the server's CPU use over the run and its memory.
# Everything runs on 127.0.0.1 in a temporary data root that is removed on
# exit; the server is stopped on exit.
# STATION_LOAD_PERF=FILE also records a perf profile of the server over the
# run into FILE (see where its time goes with: perf report -i FILE).
set -euo pipefail
cd "$(dirname "$0")/.."

STATIONS=${STATION_LOAD_STATIONS:-500}
TEAMS=${STATION_LOAD_TEAMS:-50}
SECONDS_RUN=${STATION_LOAD_SECONDS:-60}

server_bin=build/kavrixserver
sim_bin=build/kavrixstation-sim
for bin in "$server_bin" "$sim_bin"; do
  [ -x "$bin" ] || { echo "$bin missing; run scripts/build first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kavrix-station-load.XXXXXX)
server_pid=
cleanup() {
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
  perf record -F 499 -g -p "$server_pid" -o "$STATION_LOAD_PERF" -- sleep $((SECONDS_RUN + 5)) \
    >"$work/perf.out" 2>&1 &
  perf_pid=$!
fi

"$sim_bin" --port "$port" --stations "$STATIONS" --users-file "$work/users" \
  --duration "$SECONDS_RUN" --server-pid "$server_pid" | tee "$work/sim.out"

[ -n "$perf_pid" ] && wait "$perf_pid"
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
