#!/usr/bin/env python3
"""The panel over HTTPS through real clients, all on 127.0.0.1:

    https_clients_test.py <kavrixserver>

The office's own certificate (from a test authority with a revocation list)
is configured with "HttpsPort": curl verifies it while it logs on, fetches a
report and has a form from the plain origin refused, and testssl.sh must
report nothing rated HIGH or CRITICAL. Exit 77 when a tool is missing
(outside CI).
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from real_clients_test import LIMIT, NOW, PASSWORD, REPORT, Failure, check, free_port, panel_lib  # noqa: E402

LOGON_BODY = "101=boss%%40x.example&102=%s&submit=Logon" % PASSWORD
TESTSSL_LIMIT = 600


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=kw.pop("timeout", LIMIT), **kw)


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
    # A form from the plain origin of the same host is another site.
    status = run(["curl", "-sS", "--cacert", cafile, "-o", "/dev/null", "-w", "%{http_code}", "-b", "sess=" + session,
                  "-H", "origin: http://127.0.0.1:%d" % https_port, "--data", "seluser=x",
                  base + "viewhourspost"]).stdout
    check(status == "403", "curl: a form from a plain page was taken on HTTPS: %s" % status)


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
    work = tempfile.mkdtemp(prefix="kavrix-https-ca-")
    ca, cert, key = office_certificate(work)
    routing = "httpsport=%d\r\nhttpscertificatefile=%s\r\nhttpskeyfile=%s\r\n" % (https_port, cert, key)
    with panel_lib.Panel(sys.argv[1], "https-clients", routing=routing, env=NOW) as panel:
        try:
            panel.wait_port(https_port)
            curl_checks(https_port, ca)
            testssl_checks(https_port, ca, panel.work)
            print("the office's certificate: curl and testssl.sh passed")
        except Failure as e:
            print("FAILED: %s\n%s" % (e, panel.log_tail()))
            panel.keep = True
            print("kept for a look: " + panel.work)
            return 1
        finally:
            shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
