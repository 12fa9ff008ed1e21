#!/usr/bin/env python3
"""Holds many idle connections open on a web server and reports what they cost.

Opens COUNT TCP connections to 127.0.0.1:PORT that send nothing, waits until
the server process PID shows one thread per connection (or, for a server that
is not one thread per connection, until the connections are accepted), then
reads the server's resident memory (VmRSS) and checks that a fresh client
still gets an answer. Prints one line of key=value figures and closes all.
Everything is bounded by DEADLINE seconds (the server drops a connection that
stays silent for 30 seconds, so the measurement must finish before that).
"""
import argparse
import socket
import sys
import time


def status_field(pid, name):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(name + ":"):
                return int(line.split()[1])
    return 0


def wait_threads(pid, wanted, deadline):
    threads = status_field(pid, "Threads")
    while threads < wanted and time.monotonic() < deadline:
        time.sleep(0.005)
        threads = status_field(pid, "Threads")
    return threads


def answers(port, path):
    request = f"GET /{path} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n"
    with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
        s.sendall(request.encode())
        reply = s.recv(64)
    return reply.startswith(b"HTTP/1.1 200")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--count", type=int, required=True)
    parser.add_argument("--path", default="s.css")
    parser.add_argument("--threads-per-connection", action="store_true")
    parser.add_argument("--deadline", type=float, default=25.0)
    args = parser.parse_args()

    start = time.monotonic()
    base_threads = status_field(args.pid, "Threads")
    held = []
    try:
        for _ in range(args.count):
            held.append(socket.create_connection(("127.0.0.1", args.port), timeout=5))
            # A server that starts a thread per connection accepts more slowly
            # than a client connects; outrunning its listen backlog (50) costs
            # a dropped connect and a one-second retry, so wait for it to
            # catch up every 40 connections.
            if args.threads_per_connection and len(held) % 40 == 0:
                wait_threads(args.pid, base_threads + len(held), start + args.deadline)
            if time.monotonic() - start > args.deadline:
                break
        threads = status_field(args.pid, "Threads")
        if args.threads_per_connection:
            threads = wait_threads(args.pid, base_threads + len(held), start + args.deadline)
        rss_kib = status_field(args.pid, "VmRSS")
        ok = answers(args.port, args.path)
        print(f"connections={len(held)} threads={threads} rss_mib={rss_kib / 1024:.1f} "
              f"answered={'yes' if ok else 'no'} seconds={time.monotonic() - start:.1f}")
        return 0 if ok and len(held) == args.count else 1
    finally:
        for s in held:
            s.close()


if __name__ == "__main__":
    sys.exit(main())
