#!/usr/bin/env python3
"""The panel on 127.0.0.1 through curl, Python's http.client (header names
in every letter case), Node's fetch, HAProxy and the README's nginx recipe:
`real_clients_test.py <kavrixserver>`. Exit 77 (skipped) when a tool is
missing, except under CI.
"""

import gzip
import os
import pathlib
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scanners"))
import panel_under_test as panel_lib  # noqa: E402
from panel_under_test import ADMIN, LIMIT, check, free_port  # noqa: E402

NOW = {"KAVRIX_TEST_NOW": "2026-03-10 12:00:00"}
DAY = "2026-03-02"
PICTURE = "fullsizeimg.jpg?seluser=boss%40x.example&date=" + DAY + "&time=10:00:00"


class Client:
    """A person's browser at `port` (the server or a proxy in front of it),
    over TLS with a `context`; header names spelt as `spell` makes them."""

    def __init__(self, port, spell=str, context=None):
        self.port, self.spell, self.context, self.session, self.cookie = port, spell, context, "", ""
        self.origin = "%s://127.0.0.1:%d" % ("https" if context else "http", port)

    def request(self, method, path, body="", headers=(), origin=None):
        fields = [("Accept-Encoding", "gzip")] + ([("Cookie", "sess=" + self.session)] if self.session else [])
        if method == "POST":
            fields += [("Origin", origin or self.origin)] + panel_lib.FORM
        answer, data = panel_lib.request(self.port, method, "/" + path, body, fields + list(headers),
                                         self.context, self.spell)
        if answer.getheader("Content-Encoding") == "gzip":
            data = gzip.decompress(data)
        return answer, data

    def walk(self, picture, label):
        """The person's path (log on, the main page, a picture and its
        revalidation), checked for what a person sees."""
        answer, _ = self.request("POST", "logon", panel_lib.logon_form(ADMIN))
        self.session, self.cookie = panel_lib.session_of(answer), answer.getheader("Set-Cookie")
        answer, page = self.request("GET", "mainpage")
        check(answer.status == 200 and b"Logged on as " + ADMIN.encode() in page,
              "%s: the main page does not show the logged-on user" % label)
        check(answer.getheader("Content-Encoding") == "gzip", "%s: the main page was not compressed" % label)
        if picture is None:
            return
        answer, data = self.request("GET", PICTURE)
        check(answer.status == 200 and data == picture, "%s: the picture did not arrive whole" % label)
        check(answer.getheader("Content-Encoding") is None, "%s: a picture was compressed" % label)
        answer, data = self.request("GET", PICTURE, headers=[("If-None-Match", answer.getheader("ETag"))])
        check(answer.status == 304 and not data, "%s: the picture was not revalidated (%d)" % (label, answer.status))


def curl_logon(base, *options):
    """curl's logon at `base`; the session id."""
    out = subprocess.run(["curl", "-sS", *options, "-D", "-", "-o", "/dev/null", "-H", "origin: " + base[:-1],
                          "--data", panel_lib.logon_form(ADMIN), base + "logon"],
                         capture_output=True, text=True, timeout=LIMIT).stdout
    check(out.startswith("HTTP/1.0 302 OK") and "Set-Cookie: sess=" in out, "curl logon: " + out)
    return out.split("sess=", 1)[1].split(";", 1)[0]


def curl_checks(panel):
    curl_logon(panel.url())
    # Two text files over one connection, compressed in chunks: each arrives as it is stored.
    names = ("s.css", "sorttable.js")
    outputs = [arg for name in names for arg in ("-o", os.path.join(panel.work, name))]
    out = subprocess.run(["curl", "-sS", "--compressed", *outputs, "-w", "%{num_connects} %{http_code}\\n",
                          *map(panel.url, names)], capture_output=True, text=True, timeout=LIMIT).stdout.split("\n")
    check(out[:2] == ["1 200", "0 200"], "curl: keep-alive of static files: %s" % out)
    for name in names:
        stored = pathlib.Path(panel.etc, "webcontrol", name).read_bytes()
        check(pathlib.Path(panel.work, name).read_bytes() == stored, "curl: %s changed on the way" % name)


def python_checks(port, picture):
    for spell in (str.lower, str.upper, str):
        Client(port, spell).walk(picture, "http.client " + spell.__name__)


NODE_SCRIPT = r"""
const [port, logon] = process.argv.slice(1);
const base = "http://127.0.0.1:" + port + "/";
(async () => {
  const answer = await fetch(base + "logon", { method: "POST", redirect: "manual", body: logon,
    headers: { "content-type": "application/x-www-form-urlencoded", origin: base.slice(0, -1) } });
  const cookie = (answer.headers.get("set-cookie") || "").split(";")[0];
  if (answer.status !== 302 || !cookie.startsWith("sess=")) throw new Error("logon " + answer.status);
  const main = await fetch(base + "mainpage", { headers: { cookie } });
  if (!(await main.text()).includes("Logout") || main.headers.get("content-encoding") !== "gzip") throw new Error("main page");
  console.log("node fetch ok");
})().catch((e) => { console.error(e.message); process.exit(1); });
"""


def node_checks(port):
    run = subprocess.run(["node", "-e", NODE_SCRIPT, str(port), panel_lib.logon_form(ADMIN)],
                         capture_output=True, text=True, timeout=LIMIT * 2)
    check(run.returncode == 0 and "node fetch ok" in run.stdout, "node fetch: " + run.stdout + run.stderr)


HAPROXY_CONF = """defaults
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


def nginx_conf(work, front, port):
    """The nginx server block of the README, as a person would paste it."""
    readme = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "..", "README.md")
    text = open(readme, encoding="utf-8").read()
    start = text.index("```nginx\n") + len("```nginx\n")
    block = text[start:text.index("```", start)].replace("panel.example.com", "127.0.0.1")
    block = block.replace("listen 80;", "listen 127.0.0.1:%d;" % front).replace("127.0.0.1:89", "127.0.0.1:%d" % port)
    temp = "".join("  %s_temp_path %s/%s;\n" % (k, work, k) for k in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
    return ("daemon off;\npid %s/nginx.pid;\nerror_log %s/error.log;\nevents {}\nhttp {\n  access_log off;\n%s%s}\n"
            % (work, work, temp, block))


def through_proxies(panel, picture):
    front = free_port()
    conf = os.path.join(panel.work, "haproxy.cfg")
    with open(conf, "w") as f:
        f.write(HAPROXY_CONF.format(front=front, port=panel.port))
    panel.peer([panel_lib.tool("haproxy"), "-db", "-f", conf], front)
    Client(front).walk(picture, "haproxy")
    print("haproxy passed")
    front, folder = free_port(), os.path.join(panel.work, "nginx")
    os.makedirs(folder)
    with open(os.path.join(folder, "nginx.conf"), "w") as f:
        f.write(nginx_conf(folder, front, panel.port))
    panel.peer([panel_lib.tool("nginx"), "-p", folder, "-c", os.path.join(folder, "nginx.conf")], front)
    Client(front).walk(picture, "nginx")
    print("nginx passed")


def main():
    refused = panel_lib.refusal("curl", "node", "haproxy", "nginx")
    if refused is not None:
        return refused
    with panel_lib.Panel(sys.argv[1], "real-clients", env=NOW) as panel:
        picture = panel.add_picture(DAY)
        curl_checks(panel)
        python_checks(panel.port, picture)
        node_checks(panel.port)
        print("direct clients: curl, http.client, node fetch passed")
        through_proxies(panel, picture)
    return 1 if panel.failed else 0


if __name__ == "__main__":
    sys.exit(main())
