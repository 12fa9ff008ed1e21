#!/usr/bin/env python3
"""The panel through real HTTP clients and proxies, all on 127.0.0.1:

    real_clients_test.py <kavrixserver>

curl and Python's http.client (header names in lower case) talk to the
server directly; then a person's path goes through HAProxy and through nginx
as the reverse proxy of the README's recipe. Exit 77 when a tool is missing
(outside CI).
"""

import gzip
import http.client
import os
import signal
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scanners"))
import panel_under_test as panel_lib  # noqa: E402
from panel_under_test import ADMIN, LIMIT, Failure, check, free_port, wait_port  # noqa: E402

PASSWORD = panel_lib.PASSWORDS[ADMIN]
NOW = {"KAVRIX_TEST_NOW": "2026-03-10 12:00:00"}
DAY = "2026-03-02"
PICTURE = "fullsizeimg.jpg?seluser=boss%40x.example&date=" + DAY + "&time=10:00:00"
REPORT = "viewhours?seluser=boss%40x.example&startdate=" + DAY + "&enddate=" + DAY


# ---------------------------------------------------------------- one client


class Client:
    """A person's browser at `port` (the server or a proxy in front of it):
    raw requests with header names spelt as `spell` makes them."""

    def __init__(self, port, spell=str.lower):
        self.port, self.spell, self.session = port, spell, ""

    def request(self, method, path, body=b"", headers=()):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=LIMIT)
        conn.putrequest(method, "/" + path, skip_host=True, skip_accept_encoding=True)
        fields = [("Host", "127.0.0.1:%d" % self.port), ("Accept-Encoding", "gzip")]
        if self.session:
            fields.append(("Cookie", "sess=" + self.session))
        if method == "POST":
            fields += [("Origin", "http://127.0.0.1:%d" % self.port),
                       ("Content-Type", "application/x-www-form-urlencoded"),
                       ("Content-Length", str(len(body)))]
        for name, value in fields + list(headers):
            conn.putheader(self.spell(name), value)
        conn.endheaders(body or None)
        answer = conn.getresponse()
        data = answer.read()
        conn.close()
        if answer.getheader("Content-Encoding") == "gzip":
            data = gzip.decompress(data)
        return answer, data

    def log_on(self):
        body = ("101=%s&102=%s&submit=Logon" % (ADMIN.replace("@", "%40"), PASSWORD)).encode()
        answer, _ = self.request("POST", "logon", body)
        cookie = answer.getheader("Set-Cookie") or ""
        check(answer.status == 302 and cookie.startswith("sess="), "logon: %d %s" % (answer.status, cookie))
        self.session = cookie[5:cookie.index(";")]

    def walk(self, picture, label):
        """The person's path; every page is checked for what a person sees."""
        self.log_on()
        answer, page = self.request("GET", "mainpage")
        check(answer.status == 200 and b"Logged on as " + ADMIN.encode() in page,
              "%s: the main page does not show the logged-on user" % label)
        check(answer.getheader("Content-Encoding") == "gzip", "%s: the main page was not compressed" % label)
        answer, page = self.request("GET", REPORT)
        check(answer.status == 200 and b"name=startdate" in page, "%s: the hours report is missing" % label)
        form = "seluser=boss%%40x.example&startdate=%s&enddate=%s&submit=++SEARCH++" % (DAY, DAY)
        answer, page = self.request("POST", "viewhourspost", form.encode())
        check(answer.status == 200 and b"Export CSV" in page, "%s: the posted search was refused" % label)
        answer, data = self.request("GET", PICTURE)
        check(answer.status == 200 and data == picture, "%s: the picture did not arrive whole" % label)
        check(answer.getheader("Content-Encoding") is None, "%s: a picture was compressed" % label)
        tag = answer.getheader("ETag")
        answer, data = self.request("GET", PICTURE, headers=[("If-None-Match", tag)])
        check(answer.status == 304 and not data, "%s: the picture was not revalidated (%d)" % (label, answer.status))


# ---------------------------------------------------------------- the clients


def curl_checks(port):
    base = "http://127.0.0.1:%d/" % port
    out = subprocess.run(["curl", "-sS", "-D", "-", "-o", "/dev/null", "-H", "origin: " + base[:-1],
                          "--data", "101=boss%%40x.example&102=%s&submit=Logon" % PASSWORD, base + "logon"],
                         capture_output=True, text=True, timeout=LIMIT).stdout
    check(out.startswith("HTTP/1.0 302 OK") and "Set-Cookie: sess=" in out, "curl logon: " + out)
    session = out.split("sess=", 1)[1].split(";", 1)[0]
    page = subprocess.run(["curl", "-sS", "--compressed", "-H", "cookie: sess=" + session, base + "mainpage"],
                          capture_output=True, timeout=LIMIT).stdout
    check(b"Logout" in page, "curl: the main page with a lower-case cookie is not logged on")
    # Two static files over one connection, compressed.
    out = subprocess.run(["curl", "-sS", "--compressed", "-o", "/dev/null", "-o", "/dev/null",
                          "-w", "%{num_connects} %{http_code}\\n", base + "s.css", base + "sorttable.js"],
                         capture_output=True, text=True, timeout=LIMIT).stdout.split("\n")
    check(out[:2] == ["1 200", "0 200"], "curl: keep-alive of static files: %s" % out)


# ---------------------------------------------------------------- the proxies


HAPROXY_CONF = """global
  maxconn 200
defaults
  mode http
  timeout connect 5s
  timeout client 30s
  timeout server 30s
frontend panel
  bind 127.0.0.1:{front}
  default_backend kavrix
backend kavrix
  server kavrix 127.0.0.1:{port}
"""


def readme_nginx_recipe():
    """The nginx server block of the README, as a person would paste it."""
    readme = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "..", "README.md")
    text = open(readme, encoding="utf-8").read()
    start = text.index("```nginx\n") + len("```nginx\n")
    return text[start:text.index("```", start)]


def nginx_conf(work, front, port):
    block = readme_nginx_recipe().replace("panel.example.com", "127.0.0.1")
    block = block.replace("listen 80;", "listen 127.0.0.1:%d;" % front).replace("127.0.0.1:89", "127.0.0.1:%d" % port)
    temp = "".join("  %s_temp_path %s/%s;\n" % (k, work, k) for k in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
    return ("daemon off;\npid %s/nginx.pid;\nerror_log %s/error.log;\nevents {}\nhttp {\n  access_log off;\n%s%s}\n"
            % (work, work, temp, block))


def main():
    refused = panel_lib.refusal("curl", "haproxy", "nginx")
    if refused is not None:
        return refused
    with panel_lib.Panel(sys.argv[1], "real-clients", env=NOW) as panel:
        proxies = []
        try:
            picture = panel.add_picture(DAY)
            curl_checks(panel.port)
            Client(panel.port).walk(picture, "http.client")
            print("direct clients: curl, http.client passed")

            log = open(os.path.join(panel.work, "proxies.log"), "w")
            front = free_port()
            conf = os.path.join(panel.work, "haproxy.cfg")
            with open(conf, "w") as f:
                f.write(HAPROXY_CONF.format(front=front, port=panel.port))
            proxies.append(subprocess.Popen([panel_lib.tool("haproxy"), "-db", "-f", conf], stdout=log, stderr=log))
            wait_port(front, proxies[-1])
            Client(front, str).walk(picture, "haproxy")
            print("haproxy passed")

            front = free_port()
            folder = os.path.join(panel.work, "nginx")
            os.makedirs(folder)
            conf = os.path.join(folder, "nginx.conf")
            with open(conf, "w") as f:
                f.write(nginx_conf(folder, front, panel.port))
            proxies.append(subprocess.Popen([panel_lib.tool("nginx"), "-p", folder, "-c", conf], stdout=log, stderr=log))
            wait_port(front, proxies[-1])
            Client(front, str).walk(picture, "nginx")
            print("nginx passed")
        except Failure as e:
            print("FAILED: %s\n%s" % (e, panel.log_tail()))
            panel.keep = True
            print("kept for a look: " + panel.work)
            return 1
        finally:
            for p in proxies:
                p.send_signal(signal.SIGTERM)
                p.wait(timeout=LIMIT)
    return 0


if __name__ == "__main__":
    sys.exit(main())
