#!/usr/bin/python3
"""A real SMTP server for the mail tests and the mail benchmark (aiosmtpd).

Prints "READY <port>" once it listens on 127.0.0.1 and runs until its
standard input closes. Every message goes into OUT/msg-NNN/ (renamed into
place whole): "data" (the bytes as received, dot-stuffing undone), one
"attach-<name>" per attachment, decoded, and "meta" with key=value lines
read by Python's email package. OUT/transcript lists the commands seen.
"""
import argparse
import email
import email.policy
import email.utils
import os
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

parser = argparse.ArgumentParser()
parser.add_argument("--port", type=int, required=True)
parser.add_argument("--host", default="127.0.0.1")
parser.add_argument("--out", required=True)
parser.add_argument("--auth", default="")  # USER:PASS
parser.add_argument("--cert", default="")
parser.add_argument("--key", default="")
parser.add_argument("--implicit", action="store_true")  # TLS from the first byte
parser.add_argument("--mode", default="normal",
                    choices=["normal", "auth503", "auth530", "auth502", "dropdata", "rcptrefuse"])
parser.add_argument("--count-only", action="store_true")  # the benchmark: keep no files
args = parser.parse_args()


def note(line):
    with open(os.path.join(args.out, "transcript"), "a") as f:
        f.write(line + "\n")


def secured(server, session):
    return session.ssl is not None or server.transport.get_extra_info("ssl_object") is not None


def clean(text):
    return str(text).replace("\r", "\\r").replace("\n", "\\n")


class Handler:
    def __init__(self):
        self.count = 0

    async def handle_HELO(self, server, session, envelope, hostname):
        session.host_name = hostname
        note("HELO " + hostname)
        return "250 {}".format(server.hostname)

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        note("EHLO " + hostname + (" tls" if secured(server, session) else ""))
        return responses

    async def handle_MAIL(self, server, session, envelope, address, options):
        note("MAIL FROM:<" + address + ">")
        envelope.mail_from = address
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        note("RCPT TO:<" + address + ">")
        if args.mode == "rcptrefuse":
            return "550 5.1.1 No such user"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        if args.count_only:
            return "250 OK"
        final = os.path.join(args.out, "msg-%03d" % self.count)
        work = final + ".tmp"
        os.makedirs(work)
        raw = envelope.original_content
        with open(os.path.join(work, "data"), "wb") as f:
            f.write(raw)
        message = email.message_from_bytes(raw, policy=email.policy.default)
        meta = {
            "mail_from": envelope.mail_from,
            "rcpt": ",".join(envelope.rcpt_tos),
            "helo": session.host_name,
            "tls": "1" if secured(server, session) else "0",
            "login": getattr(session, "kx_login", ""),
            "subject": message["subject"],
            "from": message["from"],
            "to": message["to"],
            "date_valid": "1" if email.utils.parsedate_to_datetime(message["date"]) else "0",
            "content_type": message.get_content_type(),
        }
        names = []
        for part in message.walk():
            name = part.get_filename()
            if name:
                names.append(name)
                with open(os.path.join(work, "attach-" + name), "wb") as f:
                    f.write(part.get_payload(decode=True))
            elif part.get_content_type() == "text/plain":
                meta["text"] = clean(part.get_content())
        meta["attachments"] = ",".join(names)
        with open(os.path.join(work, "meta"), "w") as f:
            for key, value in meta.items():
                f.write("%s=%s\n" % (key, clean(value if value is not None else "")))
        os.rename(work, final)
        return "250 OK"


def authenticate(server, session, envelope, mechanism, auth_data):
    if not isinstance(auth_data, LoginPassword):
        return AuthResult(success=False, handled=False)
    user, password = args.auth.split(":", 1)
    login = auth_data.login.decode("utf-8", "replace")
    secret = auth_data.password.decode("utf-8", "replace")
    note("AUTH " + login + " " + secret)
    ok = login == user and secret == password
    if ok:
        session.kx_login = login
    return AuthResult(success=ok, handled=False)


class PeerSMTP(SMTP):
    kx_refused_once = False

    async def smtp_AUTH(self, arg):
        if args.mode == "auth503" and not self.kx_refused_once:
            self.kx_refused_once = True
            note("AUTH refused 503")
            return await self.push("503 5.5.1 Send EHLO again")
        if args.mode == "auth530":
            note("AUTH refused 530")
            return await self.push("530 5.7.0 Must issue a STARTTLS command first")
        if args.mode == "auth502":
            note("AUTH refused 502")
            return await self.push("502 5.5.2 Command not implemented")
        return await super().smtp_AUTH(arg)

    async def smtp_STARTTLS(self, arg):
        note("STARTTLS")
        return await super().smtp_STARTTLS(arg)

    async def smtp_DATA(self, arg):
        if args.mode == "dropdata":
            note("DATA dropped")
            await self.push("354 End data with <CR><LF>.<CR><LF>")
            self.transport.close()
            return
        return await super().smtp_DATA(arg)


class PeerController(Controller):
    def factory(self):
        return PeerSMTP(self.handler, **self.SMTP_kwargs)


context = None
if args.cert:
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(args.cert, args.key)

smtp_options = {"auth_require_tls": bool(context and not args.implicit)}
if args.auth:
    smtp_options["authenticator"] = authenticate
if context and not args.implicit:
    smtp_options["tls_context"] = context
controller = PeerController(Handler(), hostname=args.host, port=args.port,
                            ssl_context=context if args.implicit else None,
                            server_hostname="peer.test.example",
                            **smtp_options)
controller.start()
print("READY", args.port, flush=True)
sys.stdin.read()
controller.stop()
