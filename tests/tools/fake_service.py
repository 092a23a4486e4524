#!/usr/bin/env python3
"""The Kelvara service's command interface, played for tests and the demo.

Serves HTTP on port 80 of one loopback address, and with --tls HTTPS on the ports of
TLS_LISTENERS. Each request takes the next reply from the control directory's script.json
(the last reply repeats) and its request line and headers are appended to requests.log
exactly as received, before the reply is sent; every connection's port goes to
connections.log as it is accepted. In demo mode it answers the two commands as a real
account would.

  fake_service.py serve --address 127.0.0.21 [--control DIR] [--demo] [--tls --pki DIR]
  fake_service.py start --address 127.0.0.21 --control DIR [--demo] [--tls --pki DIR]   (in the background)
  fake_service.py stop --control DIR
  fake_service.py trust --pki DIR [--wine COMMAND]

trust makes a throwaway test CA in the pki directory (and a second one that nobody
trusts) and imports the test CA into the Root store of the Wine prefix that COMMAND
(default: wine) runs in: only that prefix trusts it, never the machine. start --tls then
makes the server certificates of its address, signed by those CAs.

A reply in script.json ({"replies": [reply, ...]}) has the keys
  status  (default 200)        body (text, each character one byte; default "")
  size    body repeated/cut to this many bytes
  delay   seconds to wait before answering
  reset   seconds after the request to reset the connection instead of finishing;
          with "partial": true the status line, headers and body go out first,
          announcing more bytes than are sent
  silent  true: never answer; hold the connection until the client closes it
  location  a Location header (with a 3xx status, a redirect)
"""

import argparse
import hashlib
import json
import os
import signal
import socket
import socketserver
import ssl
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

DEMO_SKIN = "kelvara-demo"
DEMO_SESSIONS = [
    ("Monday team meeting", "4711001"),
    ("Customer review", "4711002"),
    ("Product training", "4711003"),
]


# Port and certificate of each TLS listener. Wine 8 gives 12045 for an untrusted CA that
# the server sends along, 12057 when it sends only its own certificate.
TLS_LISTENERS = [
    (443, "trusted"),
    (8443, "trusted"),
    (4431, "untrusted CA"),
    (4432, "untrusted CA, certificate alone"),
    (4433, "wrong name"),
    (4434, "expired"),
    (4435, "silent handshake"),
]
# A listener that never answers the handshake lets the client go after this long, so that
# a client which stopped waiting earlier still sees its handshake end.
SILENT_HANDSHAKE_SECONDS = 5
ROOT_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\SystemCertificates\Root\Certificates"


def openssl(*args):
    subprocess.run(["openssl"] + list(args), check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def make_ca(pki, name):
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", os.path.join(pki, name + ".key"),
            "-out", os.path.join(pki, name + ".pem"), "-days", "30", "-subj", "/CN=Kelvara %s %d" % (name, time.time()),
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign")


def certificate_der(path):
    with open(path) as f:
        return ssl.PEM_cert_to_DER_cert(f.read())


def trust(args):
    """A fresh test CA in the prefix's Root store, replacing the one of an earlier run."""
    os.makedirs(args.pki, exist_ok=True)
    ca = os.path.join(args.pki, "test-ca.pem")
    keys = []
    if os.path.exists(ca):
        keys.append("-" + hashlib.sha1(certificate_der(ca)).hexdigest().upper())
    make_ca(args.pki, "test-ca")
    make_ca(args.pki, "untrusted-ca")
    openssl("genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out",
            os.path.join(args.pki, "server.key"))
    der = certificate_der(ca)
    # The store keeps a certificate as property 32 (the encoded certificate): id, a
    # reserved 1, the length, the bytes; all little-endian.
    blob = struct.pack("<III", 32, 1, len(der)) + der
    lines = ["REGEDIT4", ""]
    for key in keys:
        lines += ["[%s%s\\%s]" % (key[0], ROOT_KEY, key[1:]), ""]
    lines += ["[%s\\%s]" % (ROOT_KEY, hashlib.sha1(der).hexdigest().upper()),
              '"Blob"=hex:' + ",".join("%02x" % b for b in blob), ""]
    reg = os.path.join(args.pki, "test-ca.reg")
    with open(reg, "w", newline="\r\n") as f:
        f.write("\n".join(lines))
    subprocess.run(args.wine.split() + ["reg", "import", "Z:" + reg.replace("/", "\\")], check=True,
                   cwd=args.pki, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


def make_server_certificates(pki, directory, address):
    """One certificate chain per TLS role, for this address, in directory."""
    key = os.path.join(pki, "server.key")
    csr = os.path.join(directory, "server.csr")
    openssl("req", "-new", "-key", key, "-subj", "/CN=" + address, "-out", csr)

    def sign(name, ca, dns, dates):
        # Wine ignores IP-address entries of subjectAltName: the address goes in as a name too.
        database = tempfile.mkdtemp(dir=directory)
        config = os.path.join(database, "ca.cnf")
        with open(os.path.join(database, "index.txt"), "w"), open(os.path.join(database, "serial"), "w") as f:
            f.write("%016x\n" % int.from_bytes(os.urandom(8), "big"))
        with open(config, "w") as f:
            f.write("[ca]\ndefault_ca = test\n[test]\ndatabase = %s/index.txt\nnew_certs_dir = %s\n"
                    "serial = %s/serial\ndefault_md = sha256\npolicy = any\nunique_subject = no\n"
                    "[any]\ncommonName = supplied\n[server]\nsubjectAltName = DNS:%s,IP:%s\n"
                    "basicConstraints = CA:FALSE\nextendedKeyUsage = serverAuth\n"
                    % (database, database, database, dns, address))
        leaf = os.path.join(directory, name + ".pem")
        openssl("ca", "-batch", "-notext", "-config", config, "-extensions", "server", "-cert",
                os.path.join(pki, ca + ".pem"), "-keyfile", os.path.join(pki, ca + ".key"), "-in", csr,
                "-out", leaf, *dates)
        return leaf

    year = ["-days", "30"]
    past = ["-startdate", "20200101000000Z", "-enddate", "20201231000000Z"]
    untrusted = sign("untrusted", "untrusted-ca", address, year)
    chains = {
        "trusted": [sign("trusted", "test-ca", address, year)],
        "untrusted CA": [untrusted, os.path.join(pki, "untrusted-ca.pem")],
        "untrusted CA, certificate alone": [untrusted],
        "wrong name": [sign("wrong-name", "test-ca", "wrong.kelvara.example", year)],
        "expired": [sign("expired", "test-ca", address, past)],
    }
    contexts = {}
    for role, files in chains.items():
        chain = os.path.join(directory, role.replace(" ", "_").replace(",", "") + ".chain.pem")
        with open(chain, "w") as out:
            for name in files:
                with open(name) as f:
                    out.write(f.read())
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(chain, key)
        contexts[role] = context
    return contexts


def demo_reply(target):
    query = urllib.parse.parse_qs(target.partition("?")[2], keep_blank_values=True)
    command = query.get("command", [""])[0]
    if command == "validateLogin":
        return {"body": "<result>OK</result>\r\n<skin>%s</skin>\r\n" % DEMO_SKIN}
    if command == "getPlannedSessions":
        records = "".join(
            "<record><MEETING_NAME>%s</MEETING_NAME><MEETING_PIN>%s</MEETING_PIN></record>\r\n"
            % session for session in DEMO_SESSIONS)
        return {"body": "<records>\r\n%s</records>\r\n" % records}
    return {"status": 404}


class Script:
    """The scripted replies, read afresh for every request so tests can change them."""

    def __init__(self, control):
        self.control = control
        self.lock = threading.Lock()
        self.taken = 0
        self.mtime = None

    def next_reply(self):
        path = os.path.join(self.control, "script.json")
        with self.lock:
            try:
                stamp = os.stat(path).st_mtime_ns, os.stat(path).st_ino
                with open(path, encoding="utf-8") as f:
                    replies = json.load(f)["replies"]
            except (OSError, ValueError, KeyError):
                return {"status": 404}
            if stamp != self.mtime:
                self.mtime, self.taken = stamp, 0
            reply = replies[min(self.taken, len(replies) - 1)] if replies else {"status": 404}
            self.taken += 1
            return reply

    def log(self, head_lines):
        with self.lock, open(os.path.join(self.control, "requests.log"), "ab") as f:
            f.write(b"".join(line + b"\n" for line in head_lines) + b"\n")

    def log_connection(self, port):
        with self.lock, open(os.path.join(self.control, "connections.log"), "a") as f:
            f.write("%d\n" % port)


class Handler(socketserver.StreamRequestHandler):
    def setup(self):
        server = self.server
        if server.script:
            server.script.log_connection(server.server_address[1])
        if server.role == "silent handshake":
            self.hold_silently(SILENT_HANDSHAKE_SECONDS)
            raise ConnectionAbortedError  # ends the connection without a handshake or reply
        if server.context:
            self.request = server.context.wrap_socket(self.request, server_side=True)
        super().setup()

    def handle(self):
        head = []
        while True:
            line = self.rfile.readline(65537)
            if not line:
                return
            line = line.rstrip(b"\r\n")
            if not line:
                break
            head.append(line)
        if not head:
            return
        arrived = time.monotonic()
        server = self.server
        if server.script:
            server.script.log(head)
        target = head[0].split(b" ")[1].decode("latin-1") if b" " in head[0] else ""
        reply = demo_reply(target) if server.demo else server.script.next_reply()
        self.answer(reply, arrived)

    def answer(self, reply, arrived):
        if reply.get("silent"):
            self.hold_silently()
            return
        time.sleep(reply.get("delay", 0))
        status = int(reply.get("status", 200))
        body = reply.get("body", "").encode("latin-1")
        if "size" in reply:
            size = int(reply["size"])
            body = (body or b"x") * (size // max(len(body), 1) + 1)
            body = body[:size]
        reset = reply.get("reset")
        length = len(body) + (1000 if reset is not None else 0)
        location = "Location: %s\r\n" % reply["location"] if "location" in reply else ""
        head = "HTTP/1.0 %d Scripted\r\nContent-Type: text/plain\r\n%sContent-Length: %d\r\n\r\n" % (
            status, location, length)
        if reset is None or reply.get("partial"):
            self.wfile.write(head.encode("latin-1"))
            self.wfile.write(body)
            self.wfile.flush()
        if reset is not None:
            time.sleep(max(0, arrived + float(reset) - time.monotonic()))
            # Linger 0: closing sends a reset instead of an orderly end of stream.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()


    def hold_silently(self, seconds=300):
        self.request.settimeout(seconds)
        try:
            while self.request.recv(4096):
                pass
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

    def __init__(self, address, script, demo, role=None, context=None):
        self.script, self.demo, self.role, self.context = script, demo, role, context
        super().__init__(address, Handler)

    def handle_error(self, request, client_address):
        pass  # a client that went away mid-reply, or refused the certificate, is part of the tests


def serve(args):
    script = Script(args.control) if args.control else None
    servers = [Server((args.address, args.port), script, args.demo)]
    if args.tls:
        contexts = make_server_certificates(args.pki, args.control, args.address)
        servers += [Server((args.address, port), script, args.demo, role, contexts.get(role))
                    for port, role in TLS_LISTENERS]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    for server in servers[1:]:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print("ready", flush=True)
    sys.stdout.close()
    servers[0].serve_forever()


def start(args):
    os.makedirs(args.control, exist_ok=True)
    stop(args)  # a server left behind by an interrupted run would hold the port
    for name in ("script.json", "requests.log", "connections.log"):
        try:
            os.remove(os.path.join(args.control, name))
        except FileNotFoundError:
            pass
    command = [sys.executable, os.path.abspath(__file__), "serve", "--address", args.address,
               "--port", str(args.port), "--control", args.control] + (["--demo"] if args.demo else [])
    if args.tls:
        command += ["--tls", "--pki", args.pki]
    # The server must not hold the caller's output open: CTest waits for it to close.
    with open(os.path.join(args.control, "service.err"), "ab") as errors:
        child = subprocess.Popen(command, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL,
                                 stderr=errors, start_new_session=True)
    if child.stdout.readline().strip() != b"ready":
        sys.exit("fake_service: could not serve %s:%d" % (args.address, args.port))
    with open(os.path.join(args.control, "pid"), "w") as f:
        f.write("%d\n" % child.pid)


def stop(args):
    path = os.path.join(args.control, "pid")
    try:
        with open(path) as f:
            pid = int(f.read())
    except (OSError, ValueError):
        return
    os.remove(path)
    # Only the server of this control directory: a stale pid may name another process.
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            command = f.read().split(b"\0")
    except OSError:
        return
    if os.fsencode(args.control) not in command:
        return
    try:
        os.kill(pid, signal.SIGTERM)
        for _ in range(50):
            os.kill(pid, 0)
            time.sleep(0.1)
    except ProcessLookupError:
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("action", choices=["serve", "start", "stop", "trust"])
    parser.add_argument("--address", default="127.0.0.21")
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--control")
    parser.add_argument("--demo", action="store_true")
    parser.add_argument("--tls", action="store_true")
    parser.add_argument("--pki")
    parser.add_argument("--wine", default="wine")
    args = parser.parse_args()
    if args.action in ("start", "stop") and not args.control:
        parser.error("start and stop need --control")
    if (args.tls or args.action == "trust") and not args.pki:
        parser.error("--tls and trust need --pki")
    for name in ("control", "pki"):
        if getattr(args, name):
            setattr(args, name, os.path.abspath(getattr(args, name)))
    {"serve": serve, "start": start, "stop": stop, "trust": trust}[args.action](args)


if __name__ == "__main__":
    main()
