#!/usr/bin/env python3
"""Holds many idle TLS connections open on the HTTPS listener and reports
what they cost.

Waits for the listener, reads the server's resident memory (VmRSS), then
opens COUNT connections to 127.0.0.1:PORT that complete the TLS handshake
(verifying against CAFILE) and send nothing; once the server shows one thread
per connection it reads VmRSS again and checks that a fresh client still gets
an answer. Prints one line of key=value figures.
"""
import argparse
import resource
import socket
import ssl
import sys
import time

from idle_clients import status_field, wait_threads


def connect(port, context):
    raw = socket.create_connection(("127.0.0.1", port), timeout=10)
    return context.wrap_socket(raw, server_hostname="127.0.0.1")


def answers(port, context):
    with connect(port, context) as s:
        s.sendall(b"GET /s.css HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n")
        return s.recv(64).startswith(b"HTTP/1.1 200")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--count", type=int, required=True)
    parser.add_argument("--cafile", required=True)
    parser.add_argument("--deadline", type=float, default=25.0)
    args = parser.parse_args()
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))

    limit = time.monotonic() + 30
    while True:
        try:
            socket.create_connection(("127.0.0.1", args.port), timeout=1).close()
            break
        except OSError:
            if time.monotonic() > limit:
                print("the HTTPS listener never opened")
                return 1
            time.sleep(0.05)
    context = ssl.create_default_context(cafile=args.cafile)
    answers(args.port, context)  # the first request lays out the web root
    time.sleep(0.5)              # and its thread has ended
    base_threads = status_field(args.pid, "Threads")
    before_kib = status_field(args.pid, "VmRSS")

    start = time.monotonic()
    held = []
    try:
        while len(held) < args.count and time.monotonic() - start < args.deadline:
            held.append(connect(args.port, context))
        threads = wait_threads(args.pid, base_threads + len(held), start + args.deadline)
        with_kib = status_field(args.pid, "VmRSS")
        ok = answers(args.port, context)
        per_connection = (with_kib - before_kib) / max(len(held), 1)
        print(f"tls_connections={len(held)} threads={threads} rss_before_mib={before_kib / 1024:.1f} "
              f"rss_with_mib={with_kib / 1024:.1f} kib_per_connection={per_connection:.1f} "
              f"answered={'yes' if ok else 'no'} seconds={time.monotonic() - start:.1f}")
        return 0 if ok and len(held) == args.count else 1
    finally:
        for s in held:
            s.close()


if __name__ == "__main__":
    sys.exit(main())
