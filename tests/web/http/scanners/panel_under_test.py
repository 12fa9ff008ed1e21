"""The real server on loopback with a temporary data root, for the tests that
point other people's tools and clients at the panel (and bench/slow_clients.sh).
"""

import http.client
import os
import pathlib
import random
import resource
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

# Under CI a missing tool fails the test; elsewhere it is skipped (ctest: 77).
SKIP = 1 if os.environ.get("CI", "false") not in ("", "false") else 77
LIMIT = 30  # seconds any one wait for the server or a peer may take
ADMIN, USER = "boss@x.example", "dan@x.example"
PASSWORDS = {ADMIN: "Pw-of-the-Boss-1", USER: "Pw-of-Dan-2"}
FORM = [("Content-Type", "application/x-www-form-urlencoded")]

RECORDS = {
    ADMIN: "email=%s\r\nname=Boss\r\naccessadmin=1\r\npassword=%s\r\npasswordreq=0\r\n",
    USER: "email=%s\r\nname=Dan\r\naccessadmin=0\r\npassword=%s\r\npasswordreq=0\r\nmanager=boss@x.example\r\n",
}


class Failure(RuntimeError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def free_port():
    # Below the kernel's ephemeral range: a port from bind(0) can be taken by
    # an outgoing connection before the server under test binds it.
    for _ in range(200):
        port = random.randint(20000, 32767)
        with socket.socket() as s:
            try:
                s.bind(("127.0.0.1", port))
            except OSError:
                continue
            return port
    raise Failure("no free loopback port")


def tool(name):
    return shutil.which(name) or shutil.which(name, path="/usr/sbin:/sbin")


def refusal(*tools):
    """The exit status when the program or a tool is missing; None to run."""
    program = sys.argv[1] if len(sys.argv) > 1 else ""
    if not os.access(program, os.X_OK):
        print("FAILED: no program at %s" % program)
        return 1
    missing = [name for name in tools if not tool(name)]
    if missing:
        print("SKIPPED: %s missing; scripts/setup installs them" % ", ".join(missing))
        return SKIP
    return None


def wait_port(port, process):
    deadline = time.monotonic() + LIMIT
    while time.monotonic() < deadline:
        check(process.poll() is None, "%s ended early" % process.args[0])
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return
        except OSError:
            time.sleep(0.05)
    raise Failure("port %d never opened" % port)


def in_private_network(script, arguments, addresses=()):
    """None inside a private network namespace; outside, runs `script` again
    in a new one with only loopback (plus `addresses`); its exit status."""
    if os.environ.get("KAVRIX_PRIVATE_NET"):
        return None
    possible = tool("unshare") and tool("ip")
    if not possible or subprocess.run(["unshare", "--net", "true"], capture_output=True).returncode != 0:
        print("SKIPPED: no private network namespace (needs root, unshare and ip)")
        return SKIP
    setup = "ip link set lo up" + "".join(" && ip addr add %s/32 dev lo" % a for a in addresses)
    command = ["unshare", "--net", "sh", "-c", setup + ' && exec "$0" "$@"', sys.executable,
               os.path.abspath(script), *arguments]
    return subprocess.run(command, env=dict(os.environ, KAVRIX_PRIVATE_NET="1")).returncode


def request(port, method, path, body="", headers=(), context=None, spell=str):
    """One request on a connection of its own (TLS with `context`), header
    names spelt as `spell` makes them; the answer and its body."""
    conn = (http.client.HTTPSConnection("127.0.0.1", port, timeout=LIMIT, context=context) if context
            else http.client.HTTPConnection("127.0.0.1", port, timeout=LIMIT))
    conn.putrequest(method, path, skip_host=True, skip_accept_encoding=True)
    body = body.encode() if isinstance(body, str) else body
    length = [("Content-Length", str(len(body)))] if method == "POST" else []
    for name, value in [("Host", "127.0.0.1:%d" % port), *headers, *length]:
        conn.putheader(spell(name), value)
    conn.endheaders(body or None)
    answer = conn.getresponse()
    data = answer.read()
    conn.close()
    return answer, data


def logon_form(email):
    return "101=%s&102=%s&submit=Logon" % (email.replace("@", "%40"), PASSWORDS[email])


def session_of(answer):
    """The session id a logon's answer sets; a Failure unless it is a 302 with one."""
    cookie = answer.getheader("Set-Cookie") or ""
    check(answer.status == 302 and cookie.startswith("sess="), "logon: %d %s" % (answer.status, cookie))
    return cookie[5:cookie.index(";")]


class Panel:
    """One server with its own data root, stopped when the `with` block ends;
    a Failure inside the block is printed with the server's log, and the
    folder kept for a look."""

    def __init__(self, program, label="panel", open_files=None, routing="", env=None):
        # open_files: the server's open-file limit; routing: more routing lines; env: more environment.
        self.program, self.work = program, tempfile.mkdtemp(prefix="kavrix-%s-" % label)
        self.open_files, self.routing, self.env = open_files, routing, env or {}
        self.log_path = os.path.join(self.work, "server.log")
        self.etc = os.path.join(self.work, "root", "kavrixserver", "etc")
        self.port, self.process, self.keep, self.failed, self.peers = free_port(), None, False, False, []

    def __enter__(self):
        os.makedirs(os.path.join(self.etc, "userslist_"))
        os.makedirs(os.path.join(self.work, "home"))
        self.write("userslist", "maxid=%d\r\n" % len(RECORDS))
        for number, (email, record) in enumerate(RECORDS.items()):
            self.write(os.path.join("userslist_", str(number)), record % (email, PASSWORDS[email]))
        self.write("settings", "setupwizardrun=0\r\n")
        # The mail settings as the server writes them at its first mail, so a
        # mail does not add a file.
        self.write("email", "usesendmail=0\r\nusesmtphost=1\r\nmailsmtphost=\r\nsmtpauthon=0\r\n"
                            "smtpusername=\r\nsenddirect=1\r\nusessl=0\r\ndefaultsset=1\r\n")
        self.write("routing", "localport=%d\r\n%s" % (self.port, self.routing))
        try:
            self.start()
        except RuntimeError as e:
            self.__exit__(type(e), e, None)
            raise
        return self

    def start(self):
        env = dict(os.environ, KAVRIX_ROOT=os.path.join(self.work, "root"), HOME=os.path.join(self.work, "home"),
                   TZ="UTC", **self.env)
        env.pop("DISPLAY", None)
        files = self.open_files
        limit = (lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (files, files))) if files else None
        with open(self.log_path, "a") as log:
            self.process = subprocess.Popen([self.program, "-foreground"], env=env, stdout=log, stderr=log,
                                            preexec_fn=limit)
        wait_port(self.port, self.process)

    def peer(self, command, port):
        """Starts another program that listens on `port`; it ends with the server."""
        with open(os.path.join(self.work, "peers.log"), "a") as log:
            self.peers.append(subprocess.Popen(command, stdout=log, stderr=log))
        wait_port(port, self.peers[-1])

    def stop(self):
        for process in self.peers + [self.process]:
            if process and process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=LIMIT)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def __exit__(self, kind, error, trace):
        self.stop()
        self.failed = kind is Failure
        if kind is not None:
            if self.failed:
                print("FAILED: %s\n%s" % (error, pathlib.Path(self.log_path).read_text(errors="replace")[-3000:]))
            print("kept for a look: " + self.work)
        elif not self.keep:
            shutil.rmtree(self.work, ignore_errors=True)
        return self.failed

    def write(self, name, text):
        with open(os.path.join(self.etc, name), "w", newline="") as f:
            f.write(text)

    def add_picture(self, day, time_of_day="10-00-00"):
        """A 1 MB screenshot of the administrator on `day`; its bytes."""
        folder = os.path.join(self.etc, "Archive", "boss@xexample", day + "_qascreens")
        os.makedirs(folder, exist_ok=True)
        picture = b"\xff\xd8" + bytes((i * 7) % 251 for i in range(1024 * 1024 - 2))
        with open(os.path.join(folder, time_of_day + ".jpg"), "wb") as f:
            f.write(picture)
        return picture

    def url(self, path=""):
        return "http://127.0.0.1:%d/%s" % (self.port, path)

    def log_on(self, email):
        """The session id of `email`, logged on through the posted form."""
        answer, _ = request(self.port, "POST", "/logon", logon_form(email), FORM + [("Origin", self.url()[:-1])])
        return session_of(answer)

    def resident_kib(self):
        with open("/proc/%d/status" % self.process.pid) as f:
            return next((int(line.split()[1]) for line in f if line.startswith("VmRSS:")), 0)
