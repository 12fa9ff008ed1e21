#!/usr/bin/env python3
"""The panel over HTTPS on 127.0.0.1: `https_clients_test.py <kavrixserver>`.
curl, Python's ssl module and `openssl s_client` against the certificate the
server makes; testssl.sh against the office's own, from an authority with a
revocation list. Exit 77 (skipped) when a tool is missing, except under CI.
"""

import json
import os
import pathlib
import ssl
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from real_clients_test import DAY, LIMIT, NOW, Client, check, curl_logon, free_port, panel_lib  # noqa: E402
from panel_under_test import wait_port  # noqa: E402

REPORT = "viewhours?seluser=boss%40x.example&startdate=" + DAY + "&enddate=" + DAY


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=kw.pop("timeout", LIMIT), **kw)


def python_ssl_checks(https_port, cafile):
    client = Client(https_port, context=ssl.create_default_context(cafile=cafile))
    client.walk(None, "python ssl")
    check(client.cookie.endswith("; Secure"), "python ssl: the cookie is not Secure: " + client.cookie)
    # A form from the plain origin of the same host is another site.
    answer, _ = client.request("POST", "viewhourspost", "seluser=x", origin="http://127.0.0.1:%d" % https_port)
    check(answer.status == 403, "a form from a plain page was taken on HTTPS: %d" % answer.status)


def curl_checks(https_port, cafile):
    base = "https://127.0.0.1:%d/" % https_port
    session = curl_logon(base, "--cacert", cafile)
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


def office_certificate(work):
    """A certificate authority of the office's with its revocation list, and
    the server's certificate from it."""
    ca_key, ca, key, csr, cert = (os.path.join(work, n) for n in ("ca.key", "ca.pem", "office.key", "office.csr", "office.pem"))
    ext = os.path.join(work, "office.ext")
    pathlib.Path(ext).write_text("basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                                 "extendedKeyUsage=serverAuth\nsubjectAltName=IP:127.0.0.1,DNS:localhost\n"
                                 "crlDistributionPoints=URI:http://127.0.0.1/office.crl\n")
    new_key = ["openssl", "req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes"]
    steps = [
        new_key + ["-x509", "-keyout", ca_key, "-out", ca, "-days", "365", "-subj", "/O=Office/CN=Office CA"],
        new_key + ["-keyout", key, "-out", csr, "-subj", "/O=Office/CN=localhost"],
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
               "https://127.0.0.1:%d/" % https_port], timeout=600)
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
        wait_port(https_port, panel.process)
        made = os.path.join(panel.etc, "https-certificate.pem")
        curl_checks(https_port, made)
        python_ssl_checks(https_port, made)
        s_client_checks(https_port, made)
        print("the made certificate: curl, python ssl and s_client passed")

        panel.stop()
        ca, cert, key = office_certificate(panel.work)
        panel.write("routing", "localport=%d\r\n%shttpscertificatefile=%s\r\nhttpskeyfile=%s\r\n"
                    % (panel.port, routing, cert, key))
        panel.start()
        wait_port(https_port, panel.process)
        curl_checks(https_port, ca)
        testssl_checks(https_port, ca, panel.work)
        print("the office's certificate: curl and testssl.sh passed")
    return 1 if panel.failed else 0


if __name__ == "__main__":
    sys.exit(main())
