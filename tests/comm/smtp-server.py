"""SMTP peers of the mail tests on 127.0.0.1: aiosmtpd in its modes and a few scripted servers.

Usage: smtp-server.py WORKDIR (holding server.crt/.key for localhost, wrong.crt/.key for another
name). Each server logs what it saw to WORKDIR/<name>.log and keeps each message, as the bytes
arrived, in WORKDIR/<name>-<n>.eml. Prints "name=port ..." once all listen; ends with its stdin.
"""
import asyncio, hmac, logging, os, socket, ssl, sys, threading, warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import MISSING, AuthResult

WORK = sys.argv[1]
warnings.simplefilter("ignore")  # AUTH without TLS is what the plain peer is for
logging.getLogger("mail.log").setLevel(logging.ERROR)
# The client sends the password in Latin-1 for LOGIN and CRAM-MD5 and in UTF-8 for PLAIN.
PASSWORD = {"LOGIN": "secret\xe9".encode("latin-1"), "PLAIN": "secret\xe9".encode("utf-8")}
CHALLENGE = b"<4711.1234567890@localhost>"
# Peers that say what aiosmtpd never would: the greeting, then one answer per command.
SCRIPTS = {
    "busy": [b"421 4.3.2 busy, try later\r\n"],
    "garbage": [b"220 scripted\r\n"] + [b"ok. sure\r\n"] * 8,
    "nochallenge": [b"220 scripted\r\n", b"250-scripted\r\n250 AUTH LOGIN\r\n", b"334 \r\n"],
    "silent": [b""],
    # A bare-code greeting, and a refusal of two lines before the next command's reply.
    "multiline": [b"220\r\n", b"250-scripted\r\n250 AUTH LOGIN PLAIN\r\n", b"535-5.7.8 no\r\n535 5.7.8 no\r\n",
                  b"250 OK\r\n", b"535 5.7.8 no\r\n", b"250 OK\r\n"],
}


class Handler:
    def __init__(self, name):
        self.name, self.count = name, 0

    def log(self, line):
        with open(os.path.join(WORK, self.name + ".log"), "a", encoding="utf-8") as f:
            f.write(line + "\n")

    def check(self, server, session, envelope, mechanism, data):
        self.log("AUTH " + mechanism)
        return AuthResult(success=data.password == PASSWORD[mechanism], handled=False)

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        self.log("EHLO " + hostname)
        session.host_name = hostname
        return responses

    async def handle_RSET(self, server, session, envelope):
        self.log("RSET")
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        self.log("RCPT " + address)
        if address.startswith("refuse"):
            return "550 5.1.1 mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.log("DATA")
        if any(r.startswith("nodata") for r in envelope.rcpt_tos):
            return "554 5.6.0 message refused"
        self.count += 1
        with open(os.path.join(WORK, "%s-%d.eml" % (self.name, self.count)), "wb") as f:
            f.write(envelope.original_content)
        return "250 OK"


class CramHandler(Handler):
    async def auth_CRAM__MD5(self, server, args):
        reply = await server.challenge_auth(CHALLENGE)
        self.log("AUTH CRAM-MD5")
        if reply is MISSING:
            return AuthResult(success=False, handled=True)
        digest = reply.decode("latin-1").rpartition(" ")[2]
        good = hmac.new(PASSWORD["LOGIN"], CHALLENGE, "md5").hexdigest()
        return AuthResult(success=hmac.compare_digest(digest, good), handled=False)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def tls(name):
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(os.path.join(WORK, name + ".crt"), os.path.join(WORK, name + ".key"))
    return ctx


async def scripted(reader, writer, lines):
    writer.write(lines[0])
    for line in lines[1:]:
        if not await reader.readline():
            break
        writer.write(line)
    await reader.read()
    writer.close()


def main():
    ports, servers = {}, []
    auth = {"auth_required": True}
    for name, handler, kw in [
            ("open", Handler, {}),
            ("plain", Handler, dict(auth, auth_require_tls=False)),
            ("starttls", Handler, dict(auth, tls_context=tls("server"), require_starttls=True)),
            ("tls", CramHandler, dict(auth, auth_require_tls=False, ssl_context=tls("server"))),
            ("wrongname", Handler, {"ssl_context": tls("wrong")})]:
        h, ports[name] = handler(name), free_port()
        if "auth_required" in kw:
            kw["authenticator"] = h.check
        servers.append(Controller(h, hostname="127.0.0.1", port=ports[name], server_hostname="localhost",
                                  decode_data=False, **kw))
        servers[-1].start()
    loop = asyncio.new_event_loop()
    for name, lines in SCRIPTS.items():
        server = loop.run_until_complete(asyncio.start_server(
            lambda r, w, lines=lines: scripted(r, w, lines), "127.0.0.1", 0))
        ports[name] = server.sockets[0].getsockname()[1]
    threading.Thread(target=loop.run_forever, daemon=True).start()
    ports["closed"] = free_port()
    print(" ".join("%s=%d" % item for item in sorted(ports.items())), flush=True)
    sys.stdin.read()
    for s in servers:
        s.stop()


main()
