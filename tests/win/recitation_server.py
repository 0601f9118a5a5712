#!/usr/bin/env python3
"""A local recitation archive for the download tests, on 127.0.0.1 only.

    recitation_server.py --root DIR -- COMMAND...

serves DIR's files under /rec/NAME, runs COMMAND with NORAVEL_RECITATION_PORT (the
server's port) and NORAVEL_REFUSED_PORT (a port where nothing listens) in its
environment, ends the server and exits with COMMAND's exit status.

The test steers it through GET /__rules?KIND=NAME,NAME&... (which also clears the
counts) with the kinds
    missing  404
    html     200 with an HTML page
    cut      announces the whole length, sends half, closes
    stall    announces the whole length, sends a little, then sends nothing
    busy     503 every time
    big      200 without a length, more than 20 MB of bytes, then closes
and reads GET /__counts: one "PATH COUNT" line per requested /rec/ path, then
"max-in-flight N", the most /rec/ answers it was working on at once. Two settings may
come with the rules:
    delay_ms=N       waits N ms before each /rec/ answer (a distant archive)
    fallback=NAME    serves NAME.mp3 for a file the root does not hold
Paths under /rec/ may have folders (/rec/Alafasy_128kbps/002001.mp3): only the file's
name is looked up.
"""
import argparse
import http.server
import os
import socket
import subprocess
import sys
import threading
import time
import urllib.parse

STALL_LIMIT_S = 60  # a stalled answer ends by itself after this
BIG_BYTES = 21 * 1024 * 1024

lock = threading.Lock()
rules = {}
counts = {}
settings = {"delay_ms": 0, "fallback": None}
# Answers under way by the rules they began under (a stalled one of an earlier test may
# still be), and the most of the current rules' at once.
epoch = [0]
in_flight = {}
most_in_flight = [0]
stopping = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/__rules":
            query = urllib.parse.parse_qs(url.query)
            with lock:
                rules.clear()
                counts.clear()
                settings["delay_ms"] = int(query.pop("delay_ms", ["0"])[0])
                settings["fallback"] = query.pop("fallback", [None])[0]
                epoch[0] += 1
                most_in_flight[0] = 0
                for kind, names in query.items():
                    for name in ",".join(names).split(","):
                        if name:
                            rules[name] = kind
            return self.reply(200, b"ok")
        if url.path == "/__counts":
            with lock:
                text = "".join(f"{p} {n}\n" for p, n in sorted(counts.items()))
                text += f"max-in-flight {most_in_flight[0]}\n"
            return self.reply(200, text.encode())
        if not url.path.startswith("/rec/"):
            return self.reply(404, b"no such page")
        with lock:
            begun = epoch[0]
            in_flight[begun] = in_flight.get(begun, 0) + 1
            most_in_flight[0] = max(most_in_flight[0], in_flight[begun])
            delay = settings["delay_ms"]
        try:
            if delay:
                time.sleep(delay / 1000.0)
            self.answer(url)
        finally:
            with lock:
                in_flight[begun] -= 1

    def answer(self, url):
        name = os.path.basename(url.path)
        with lock:
            counts[url.path] = counts.get(url.path, 0) + 1
            kind = rules.get(name.split(".")[0])
        path = os.path.join(self.server.root, name)
        fallback = settings["fallback"]
        if kind is None and fallback and not os.path.isfile(path):
            path = os.path.join(self.server.root, fallback + ".mp3")
        if kind == "missing" or (kind is None and not os.path.isfile(path)):
            return self.reply(404, b"<html><body>Not found</body></html>", "text/html")
        if kind == "busy":
            return self.reply(503, b"busy")
        if kind == "html":
            return self.reply(200, b"<!DOCTYPE html>\n<html><body>Sign in first</body></html>",
                              "text/html")
        if kind == "big":
            self.send_response(200)
            self.send_header("Content-Type", "audio/mpeg")
            self.send_header("Connection", "close")
            self.end_headers()
            block = b"\xff\xfb\x90\x64" + b"\0" * (64 * 1024 - 4)
            sent = 0
            try:
                while sent < BIG_BYTES and not stopping.is_set():
                    self.wfile.write(block)
                    sent += len(block)
            except OSError:
                pass
            self.close_connection = True
            return
        with open(path, "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if kind == "cut":
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        if kind == "stall":
            self.wfile.write(body[:1000])
            self.wfile.flush()
            stopping.wait(STALL_LIMIT_S)
            self.close_connection = True
            return
        self.wfile.write(body)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root = args.root
    threading.Thread(target=server.serve_forever, daemon=True).start()
    env = dict(os.environ)
    env["NORAVEL_RECITATION_PORT"] = str(server.server_address[1])
    env["NORAVEL_REFUSED_PORT"] = str(free_port())
    try:
        status = subprocess.call(command, env=env) if command else 0
    finally:
        stopping.set()
        server.shutdown()
        server.server_close()
    sys.exit(status)


if __name__ == "__main__":
    main()
