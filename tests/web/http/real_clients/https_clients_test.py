#!/usr/bin/env python3
"""The panel over HTTPS through real clients, all on 127.0.0.1:

    https_clients_test.py <kavrixserver>

With "HttpsPort" set the server makes its own certificate: curl and Python's
ssl module verify against it and walk a person's path (log on, the main page,
a report), the session cookie carries "Secure", a form sent from a plain page
is refused on HTTPS, the plain port redirects every page (a logon posted there
gets no cookie) and keeps the stations' "connect", and `openssl s_client`
finds TLS 1.1 refused and TLS 1.2 and 1.3 accepted. Then the office's own
certificate (from a test authority with a revocation list, as an office's
authority has) is configured, and testssl.sh must report nothing rated HIGH
or CRITICAL. Exit 77 (skipped) when a tool is missing, except under CI.
"""

import http.client
import json
import os
import re
import ssl
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from real_clients_test import ADMIN, LIMIT, NOW, PASSWORD, REPORT, Failure, check, free_port, panel_lib  # noqa: E402

LOGON_BODY = "101=boss%%40x.example&102=%s&submit=Logon" % PASSWORD
TESTSSL_LIMIT = 600


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=kw.pop("timeout", LIMIT), **kw)


class Browser:
    """A person's browser on HTTPS that trusts `cafile`."""

    def __init__(self, port, cafile):
        self.port, self.session = port, ""
        self.context = ssl.create_default_context(cafile=cafile)

    def request(self, method, path, body=b"", origin=None):
        conn = http.client.HTTPSConnection("127.0.0.1", self.port, timeout=LIMIT, context=self.context)
        headers = {"Cookie": "sess=" + self.session} if self.session else {}
        if method == "POST":
            headers.update({"Origin": origin or "https://127.0.0.1:%d" % self.port,
                            "Content-Type": "application/x-www-form-urlencoded"})
        conn.request(method, "/" + path, body=body or None, headers=headers)
        answer = conn.getresponse()
        data = answer.read()
        conn.close()
        return answer, data

    def walk(self):
        answer, _ = self.request("POST", "logon", LOGON_BODY.encode())
        cookie = answer.getheader("Set-Cookie") or ""
        check(answer.status == 302 and cookie.startswith("sess=") and cookie.endswith("; Secure"),
              "python ssl logon: %d %s" % (answer.status, cookie))
        self.session = cookie[5:cookie.index(";")]
        answer, page = self.request("GET", "mainpage")
        check(answer.status == 200 and b"Logged on as " + ADMIN.encode() in page, "python ssl: main page")
        answer, page = self.request("GET", REPORT)
        check(answer.status == 200 and b"name=startdate" in page, "python ssl: the hours report is missing")
        # A form from the plain origin of the same host is another site.
        answer, page = self.request("POST", "viewhourspost", b"seluser=x", origin="http://127.0.0.1:%d" % self.port)
        check(answer.status == 403, "a form from a plain page was taken on HTTPS: %d" % answer.status)


def plain_checks(port, https_port):
    for method, path, body in (("GET", "mainpage?x=1&y=%20", None), ("POST", "logon", LOGON_BODY.encode()),
                               ("GET", "s.css", None)):
        conn = http.client.HTTPConnection("127.0.0.1", port, timeout=LIMIT)
        conn.request(method, "/" + path, body=body, headers={"Content-Type": "application/x-www-form-urlencoded"})
        answer = conn.getresponse()
        answer.read()
        conn.close()
        location = "https://127.0.0.1:%d/%s" % (https_port, path)
        check(answer.status == 307 and answer.getheader("Location") == location,
              "plain %s %s: %d %s" % (method, path, answer.status, answer.getheader("Location")))
        check(answer.getheader("Set-Cookie") is None, "plain %s %s sent a cookie" % (method, path))
    # The stations' path is not redirected (and not served on HTTPS).
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=LIMIT)
    conn.request("GET", "/connect")
    check(conn.getresponse().status == 200, "plain connect was not the station's")
    conn.close()


def curl_checks(https_port, cafile):
    base = "https://127.0.0.1:%d/" % https_port
    out = run(["curl", "-sS", "--cacert", cafile, "-D", "-", "-o", "/dev/null", "-H", "origin: " + base[:-1],
               "--data", LOGON_BODY, base + "logon"]).stdout
    check(out.startswith("HTTP/1.0 302 OK") and re.search(r"Set-Cookie: sess=\w+; HttpOnly; SameSite=Lax; Secure", out),
          "curl logon over HTTPS: " + out)
    session = out.split("sess=", 1)[1].split(";", 1)[0]
    page = run(["curl", "-sS", "--compressed", "--cacert", cafile, "-b", "sess=" + session, base + REPORT]).stdout
    check("name=startdate" in page, "curl: the report over HTTPS")
    status = run(["curl", "-sS", "--cacert", cafile, "-o", "/dev/null", "-w", "%{http_code}", base + "connect"]).stdout
    check(status == "404", "curl: connect over HTTPS answered %s" % status)


def s_client_checks(https_port, cafile):
    for option, accepted in (("-tls1_1", False), ("-tls1_2", True), ("-tls1_3", True)):
        extra = ["-cipher", "DEFAULT@SECLEVEL=0"] if option == "-tls1_1" else []
        out = run(["openssl", "s_client", "-connect", "127.0.0.1:%d" % https_port, option, "-CAfile", cafile,
                   "-verify_return_error", "-verify_ip", "127.0.0.1"] + extra, input="")
        check((out.returncode == 0 and "Verify return code: 0 (ok)" in out.stdout) == accepted,
              "s_client %s: %s%s" % (option, out.stdout[-600:], out.stderr[-600:]))


def made_certificate_checks(etc, log_path):
    cert, key = os.path.join(etc, "https-certificate.pem"), os.path.join(etc, "https-key.pem")
    check(os.stat(key).st_mode & 0o777 == 0o600, "the made key is not 0600")
    fingerprint = run(["openssl", "x509", "-in", cert, "-noout", "-fingerprint", "-sha256"]).stdout.strip().split("=", 1)[1]
    with open(log_path) as f:
        check("SHA-256 fingerprint " + fingerprint in f.read(), "the log does not give the fingerprint " + fingerprint)
    return cert


def office_certificate(work):
    """A certificate authority of the office's with its revocation list, and
    the server's certificate from it."""
    ca_key, ca, key, csr, cert = (os.path.join(work, n) for n in ("ca.key", "ca.pem", "office.key", "office.csr", "office.pem"))
    ext = os.path.join(work, "office.ext")
    with open(ext, "w") as f:
        f.write("basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n"
                "subjectAltName=IP:127.0.0.1,DNS:localhost\ncrlDistributionPoints=URI:http://127.0.0.1/office.crl\n")
    steps = [
        ["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout", ca_key,
         "-out", ca, "-days", "365", "-subj", "/O=Office/CN=Office CA"],
        ["openssl", "req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout", key,
         "-out", csr, "-subj", "/O=Office/CN=localhost"],
        ["openssl", "x509", "-req", "-in", csr, "-CA", ca, "-CAkey", ca_key, "-CAcreateserial", "-out", cert,
         "-days", "365", "-sha256", "-extfile", ext],
    ]
    for step in steps:
        out = run(step)
        check(out.returncode == 0, "openssl: " + out.stderr)
    return ca, cert, key


def testssl_checks(https_port, cafile, work):
    report = os.path.join(work, "testssl.json")
    out = run(["testssl", "--add-ca", cafile, "--jsonfile", report, "--warnings", "off", "--color", "0",
               "https://127.0.0.1:%d/" % https_port], timeout=TESTSSL_LIMIT)
    check(os.path.exists(report), "testssl wrote no report: " + out.stdout[-2000:])
    with open(report) as f:
        findings = json.load(f)
    bad = ["%s %s: %s" % (x["severity"], x["id"], x["finding"]) for x in findings
           if x.get("severity") in ("HIGH", "CRITICAL")]
    check(findings and not bad, "testssl: " + "; ".join(bad))


def main():
    refused = panel_lib.refusal("curl", "openssl", "testssl")
    if refused is not None:
        return refused
    https_port = free_port()
    routing = "httpsport=%d\r\n" % https_port
    with panel_lib.Panel(sys.argv[1], "https-clients", routing=routing, env=NOW) as panel:
        try:
            panel.wait_port(https_port)
            made = made_certificate_checks(panel.etc, panel.log_path)
            curl_checks(https_port, made)
            Browser(https_port, made).walk()
            plain_checks(panel.port, https_port)
            s_client_checks(https_port, made)
            print("the made certificate: curl, python ssl, the plain port's redirect, s_client passed")

            panel.stop()
            ca, cert, key = office_certificate(panel.work)
            panel.write("routing", "localport=%d\r\n%shttpscertificatefile=%s\r\nhttpskeyfile=%s\r\n"
                        % (panel.port, routing, cert, key))
            panel.start()
            panel.wait_port(https_port)
            curl_checks(https_port, ca)
            testssl_checks(https_port, ca, panel.work)
            print("the office's certificate: curl and testssl.sh passed")
        except Failure as e:
            print("FAILED: %s\n%s" % (e, panel.log_tail()))
            panel.keep = True
            print("kept for a look: " + panel.work)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
