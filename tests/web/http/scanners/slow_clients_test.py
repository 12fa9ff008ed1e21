#!/usr/bin/env python3
"""slowhttptest against the panel while a person keeps using it:
`slow_clients_test.py <kavrixserver> [--figures]` (--figures: print them and
exit 0). Passes when every probe of the person was answered whole within 2 s
and the resident memory stayed below 150 MiB. In a private network namespace:
the attacker comes from 127.0.0.3 (127.0.0.1 is a reverse proxy's address and
not limited per client), the person from 127.0.0.2.
"""

import os
import re
import resource
import socket
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import panel_under_test as panel_lib  # noqa: E402

CONNECTIONS, SECONDS = 1000, 40
ATTACKER, PERSON = "127.0.0.3", "127.0.0.2"
# A common default limit, which 1,000 held connections would exhaust.
SERVER_OPEN_FILES = 1024
PROBE_LIMIT_S, MEMORY_LIMIT_MIB = 2.0, 150
PICTURE_DAY = "2026-03-02"
PICTURE = "fullsizeimg.jpg?seluser=boss%40x.example&date=" + PICTURE_DAY + "&time=10:00:00"

# slowhttptest's options of each run, given the attacker's URL of a path and
# the session cookie: a body of 1,000,000 declared bytes, a field of up to 10
# characters every 10 s; a receive window of 1 to 16 bytes, 4 bytes read a
# second.
RUNS = [
    ("slow body", lambda url, cookie: ["-B", "-u", url("logon"), "-t", "POST",
                                       "-s", "1000000", "-i", "10", "-x", "10"]),
    ("slow read", lambda url, cookie: ["-X", "-u", url(PICTURE), "-j", cookie,
                                       "-k", "1", "-n", "1", "-w", "1", "-y", "16", "-z", "4"]),
]


def probe_once(port):
    """Seconds until the logon page arrived whole, or None after the limit."""
    begin = time.monotonic()
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=PROBE_LIMIT_S,
                                      source_address=(PERSON, 0)) as s:
            s.sendall(b"GET /logon HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n")
            data = s.makefile("rb").read()
    except OSError:
        return None
    took = time.monotonic() - begin
    whole = data.startswith(b"HTTP/1.") and b" 200 " in data[:16] and b"</html>" in data.lower()
    return took if whole and took <= PROBE_LIMIT_S else None


class Watch(threading.Thread):
    """A probe every second and the resident memory every quarter second."""

    def __init__(self, panel):
        super().__init__(daemon=True)
        self.panel, self.probes, self.peak_kib, self.stopping = panel, [], 0, threading.Event()

    def run(self):
        next_probe = time.monotonic()
        while not self.stopping.wait(0.25):
            self.peak_kib = max(self.peak_kib, self.panel.resident_kib())
            if time.monotonic() >= next_probe:
                next_probe += 1
                self.probes.append(probe_once(self.panel.port))


def attack(program, label, options):
    """One slowhttptest run; (figures line, failures)."""
    with panel_lib.Panel(program, "slow-clients", open_files=SERVER_OPEN_FILES) as panel:
        panel.add_picture(PICTURE_DAY)
        cookie = "sess=" + panel.log_on(panel_lib.ADMIN)
        start_kib = panel.resident_kib()
        watch = Watch(panel)
        watch.start()
        url = lambda path: "http://%s:%d/%s" % (ATTACKER, panel.port, path)  # noqa: E731
        command = ["slowhttptest", "-c", str(CONNECTIONS), "-r", "200", "-l", str(SECONDS), "-p", "3",
                   *options(url, cookie)]
        run = subprocess.run(command, capture_output=True, text=True, errors="replace", timeout=SECONDS * 4)
        watch.stopping.set()
        watch.join()
        alive = panel.process.poll() is None
        panel.keep = not alive
    answered = [p for p in watch.probes if p is not None]
    # slowhttptest's last status: how many of its connections were open, closed, failed.
    stats = dict(re.findall(r"^(connected|closed|error):\s+(\d+)", re.sub(r"\x1b\[[0-9;]*m", "", run.stdout), re.M))
    figures = ("%s, %d connections for %d s: %d of %d probes answered within %.0f s (slowest %.2f s); resident "
               "memory %.0f MiB before, peak %.0f MiB; slowhttptest at the end: %s"
               % (label, CONNECTIONS, SECONDS, len(answered), len(watch.probes), PROBE_LIMIT_S,
                  max(answered, default=0), start_kib / 1024, watch.peak_kib / 1024,
                  ", ".join("%s %s" % pair for pair in stats.items())))
    failures = [
        (len(watch.probes) < SECONDS // 2 or len(answered) < len(watch.probes),
         "%d of %d probes unanswered" % (len(watch.probes) - len(answered), len(watch.probes))),
        (watch.peak_kib >= MEMORY_LIMIT_MIB * 1024, "resident memory reached %.0f MiB" % (watch.peak_kib / 1024)),
        (not alive, "the server died; kept for a look: " + panel.work),
    ]
    return figures, ["%s: %s" % (label, message) for failed, message in failures if failed]


def main():
    refused = panel_lib.refusal("slowhttptest")
    if refused is not None:
        return refused
    program = sys.argv[1]
    outside = panel_lib.in_private_network(__file__, [os.path.abspath(program), *sys.argv[2:]], [ATTACKER, PERSON])
    if outside is not None:
        return outside
    # slowhttptest needs a descriptor per connection.
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    if hard != resource.RLIM_INFINITY and hard < CONNECTIONS + 100:
        print("FAILED: the open-file limit (%d) is below %d" % (hard, CONNECTIONS + 100))
        return 1
    wanted = 4096 if hard == resource.RLIM_INFINITY else min(hard, 4096)
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, wanted), hard))
    failures = []
    for label, options in RUNS:
        figures, failed = attack(program, label, options)
        print(figures, flush=True)
        failures += failed
    if "--figures" in sys.argv:
        return 0
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
