#!/usr/bin/env python3
"""The Kelvara service's command interface, played for tests and the demo.

Serves HTTP on port 80 of one loopback address. Each request takes the next reply
from the control directory's script.json (the last reply repeats) and its request
line and headers are appended to requests.log exactly as received, before the reply
is sent. In demo mode it answers the two commands as a real account would.

  fake_service.py serve --address 127.0.0.21 [--control DIR] [--demo]
  fake_service.py start --address 127.0.0.21 --control DIR [--demo]   (in the background)
  fake_service.py stop --control DIR

A reply in script.json ({"replies": [reply, ...]}) has the keys
  status  (default 200)        body (text, each character one byte; default "")
  size    body repeated/cut to this many bytes
  delay   seconds to wait before answering
  reset   seconds after the request to reset the connection instead of finishing;
          with "partial": true the status line, headers and body go out first,
          announcing more bytes than are sent
  silent  true: never answer; hold the connection until the client closes it
"""

import argparse
import json
import os
import signal
import socket
import socketserver
import struct
import subprocess
import sys
import threading
import time
import urllib.parse

DEMO_SKIN = "kelvara-demo"
DEMO_SESSIONS = [
    ("Monday team meeting", "4711001"),
    ("Customer review", "4711002"),
    ("Product training", "4711003"),
]


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


class Handler(socketserver.StreamRequestHandler):
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
        head = "HTTP/1.0 %d Scripted\r\nContent-Type: text/plain\r\nContent-Length: %d\r\n\r\n" % (
            status, length)
        if reset is None or reply.get("partial"):
            self.wfile.write(head.encode("latin-1"))
            self.wfile.write(body)
            self.wfile.flush()
        if reset is not None:
            time.sleep(max(0, arrived + float(reset) - time.monotonic()))
            # Linger 0: closing sends a reset instead of an orderly end of stream.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()


    def hold_silently(self):
        self.connection.settimeout(300)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # a client that went away mid-reply is part of the tests


def serve(args):
    server = Server((args.address, args.port), Handler)
    server.demo = args.demo
    server.script = Script(args.control) if args.control else None
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    print("ready", flush=True)
    sys.stdout.close()
    server.serve_forever()


def start(args):
    os.makedirs(args.control, exist_ok=True)
    stop(args)  # a server left behind by an interrupted run would hold the port
    for name in ("script.json", "requests.log"):
        try:
            os.remove(os.path.join(args.control, name))
        except FileNotFoundError:
            pass
    command = [sys.executable, os.path.abspath(__file__), "serve", "--address", args.address,
               "--port", str(args.port), "--control", args.control] + (["--demo"] if args.demo else [])
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
    parser.add_argument("action", choices=["serve", "start", "stop"])
    parser.add_argument("--address", default="127.0.0.21")
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--control")
    parser.add_argument("--demo", action="store_true")
    args = parser.parse_args()
    if args.action != "serve" and not args.control:
        parser.error("start and stop need --control")
    if args.control:
        args.control = os.path.abspath(args.control)
    {"serve": serve, "start": start, "stop": stop}[args.action](args)


if __name__ == "__main__":
    main()
