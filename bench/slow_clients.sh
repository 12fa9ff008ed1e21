#!/usr/bin/env bash
# The panel under slowhttptest on 127.0.0.1, in temporary data roots: 1,000
# slow-body and 1,000 slow-read connections for 40 s each, with the answers a
# probe got meanwhile and the server's resident memory. The same runs as the
# SlowClients test, printed instead of judged.
set -euo pipefail
cd "$(dirname "$0")/.."

server_bin=build/kavrixserver
[ -x "$server_bin" ] || { echo "no server binary; run scripts/build first" >&2; exit 1; }
command -v slowhttptest >/dev/null || { echo "slowhttptest missing; run scripts/setup" >&2; exit 1; }
exec python3 tests/web/http/scanners/slow_clients_test.py "$server_bin" --figures
