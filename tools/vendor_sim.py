#!/usr/bin/env python3
"""Vendor-service simulator: the version service, the game-info service and
the download server of the installer, on 127.0.0.1 (Python 3 stdlib only).

Endpoints
  GET /zv/zavrian                   {"mnq": {"ver", "url", "md5"}}; md5 is computed
                                    from the payload file actually served
  GET /getGameInfo2?appid=ID        {"result": [{"app_package_name": ...}], ...}
                                    from a small table (unknown id: empty result)
  GET /download/release/zvinst.exe  the payload (the fallback URL)
  GET /download/player/zvinst.exe   the payload (the URL the version reply announces)
  GET /_sim/set?k=v&...             re-configure the scenario (keys as the options
                                    below, '-' written as '_'); reset=1 first restores
                                    the command-line settings; answers the settings
  GET /_sim/log                     JSON list of the requests so far
                                    ({"path", "ua", "headers", "t"}); clear=1 empties it
  GET /_sim/quit                    stops the simulator

Options (command line; the same names work in /_sim/set)
  --port N              listening port (default 18080; 0 = any free port)
  --port-file F         write the bound port to F once listening
  --pid-file F          write the process id to F
  --daemon              detach (new session, stdio to /dev/null); the parent
                        returns once the port is bound
  --lifetime S          stop by itself after S seconds (default 600)
  --payload FILE        the file served as the full installer (default: the
                        built stand-in build/bin/fixtures/zvinst.exe)
  --version V           announced "ver" (default 5)
  --delay-version S     delay the version reply by S seconds
  --fail-downloads N    answer the first N payload downloads with 503
  --always-404          answer every payload download with 404
  --wrong-md5           announce a digest that is not the payload's
  --upper-md5           announce the digest in upper case
  --short-body          send only half of the payload, with the full Content-Length
  --chunked             send the payload chunked (no Content-Length)
  --version-down MODE   version service down: "refuse" (close at once) or "500"
  --no-url              version reply without "url"
  --version-array       version reply is a JSON array (not an object)
  --slow-body S         send the payload in 64 KiB pieces spread over S seconds
"""

import argparse
import hashlib
import json
import os
import socket
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

GAMES = {
    "123456": "com.example.game",
    "222222": "com.tessarin.racing",
    "333333": "bad package;calc.exe",
}

SCENARIO_KEYS = {
    "version": str, "delay_version": float, "fail_downloads": int, "always_404": bool,
    "wrong_md5": bool, "upper_md5": bool, "short_body": bool, "chunked": bool,
    "version_down": str, "no_url": bool, "version_array": bool, "slow_body": float, "payload": str,
}


def as_bool(text):
    return str(text).lower() in ("1", "true", "yes", "on")


class State:
    def __init__(self, args):
        self.lock = threading.Lock()
        self.defaults = {k: getattr(args, k) for k in SCENARIO_KEYS}
        self.settings = dict(self.defaults)
        self.downloads = 0
        self.log = []

    def get(self, key):
        with self.lock:
            return self.settings[key]

    def update(self, query):
        with self.lock:
            if as_bool(query.get("reset", ["0"])[0]):
                self.settings = dict(self.defaults)
                self.downloads = 0
            for key, values in query.items():
                key = key.replace("-", "_")
                if key not in SCENARIO_KEYS:
                    continue
                kind = SCENARIO_KEYS[key]
                value = values[-1]
                self.settings[key] = as_bool(value) if kind is bool else kind(value)
                if key == "fail_downloads":
                    self.downloads = 0
            return dict(self.settings)

    def record(self, path, ua, names):
        with self.lock:
            self.log.append({"path": path, "ua": ua, "headers": names, "t": time.time()})

    def next_download(self):
        with self.lock:
            self.downloads += 1
            return self.downloads


def payload_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "vendor-sim/1"

    def log_message(self, fmt, *args):  # quiet
        pass

    @property
    def state(self):
        return self.server.state

    def send_body(self, status, body, ctype="application/json", length=None):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.send_header("Cache-Control", "no-store")
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def send_json(self, obj, status=200):
        self.send_body(status, json.dumps(obj).encode("utf-8"))

    def do_GET(self):
        parsed = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(parsed.query, keep_blank_values=True)
        path = parsed.path
        if not path.startswith("/_sim/"):
            self.state.record(self.path, self.headers.get("User-Agent", ""), list(self.headers.keys()))
        if path == "/_sim/set":
            return self.send_json(self.state.update(query))
        if path == "/_sim/log":
            with self.state.lock:
                entries = list(self.state.log)
                if as_bool(query.get("clear", ["0"])[0]):
                    self.state.log.clear()
            return self.send_json(entries)
        if path == "/_sim/quit":
            self.send_json({"quit": True})
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return None
        if path == "/zv/zavrian":
            return self.version_reply()
        if path == "/getGameInfo2":
            return self.game_info(query.get("appid", [""])[0])
        if path in ("/download/release/zvinst.exe", "/download/player/zvinst.exe"):
            return self.payload()
        return self.send_body(404, b"not found", "text/plain")

    def version_reply(self):
        delay = self.state.get("delay_version")
        if delay:
            time.sleep(delay)
        down = self.state.get("version_down")
        if down == "refuse":
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            return None
        if down == "500":
            return self.send_body(500, b"down", "text/plain")
        digest = hashlib.md5(payload_bytes(self.state.get("payload"))).hexdigest()
        if self.state.get("wrong_md5"):
            digest = hashlib.md5(b"not the payload").hexdigest()
        if self.state.get("upper_md5"):
            digest = digest.upper()
        host = self.headers.get("Host") or "127.0.0.1:%d" % self.server.server_address[1]
        mnq = {"ver": self.state.get("version"), "md5": digest}
        if not self.state.get("no_url"):
            mnq["url"] = "http://%s/download/player/zvinst.exe" % host
        if self.state.get("version_array"):
            return self.send_json([{"mnq": mnq}])
        return self.send_json({"mnq": mnq, "other": 1})

    def game_info(self, appid):
        package = GAMES.get(appid)
        result = []
        if package:
            result = [{"gamename": "demo"}, {"app_package_name": package,
                                             "app_download_url": "", "game_slt_url": ""}]
        return self.send_json({"result": result, "resolution": "1280x720", "gameid": appid})

    def payload(self):
        if self.state.get("always_404"):
            return self.send_body(404, b"not found", "text/plain")
        number = self.state.next_download()
        if number <= self.state.get("fail_downloads"):
            return self.send_body(503, b"busy", "text/plain")
        data = payload_bytes(self.state.get("payload"))
        ctype = "application/octet-stream"
        if self.state.get("chunked"):
            self.send_response(200)
            self.send_header("Content-Type", ctype)
            self.send_header("Transfer-Encoding", "chunked")
            self.send_header("Connection", "close")
            self.end_headers()
            for i in range(0, len(data), 16000):
                piece = data[i:i + 16000]
                self.wfile.write(b"%x\r\n" % len(piece) + piece + b"\r\n")
            self.wfile.write(b"0\r\n\r\n")
            self.close_connection = True
            return None
        slow = self.state.get("slow_body")
        if slow:
            self.send_response(200)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Connection", "close")
            self.end_headers()
            pieces = range(0, len(data), 65536)
            pause = slow / max(1, len(pieces))
            try:
                for i in pieces:
                    self.wfile.write(data[i:i + 65536])
                    self.wfile.flush()
                    time.sleep(pause)
            except OSError:
                pass
            self.close_connection = True
            return None
        if self.state.get("short_body"):
            return self.send_body(200, data[:len(data) // 2], ctype, length=len(data))
        return self.send_body(200, data, ctype)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_payload = os.path.join(here, "..", "build", "bin", "fixtures", "zvinst.exe")
    p = argparse.ArgumentParser(description="vendor-service simulator")
    p.add_argument("--port", type=int, default=18080)
    p.add_argument("--port-file")
    p.add_argument("--pid-file")
    p.add_argument("--daemon", action="store_true")
    p.add_argument("--lifetime", type=float, default=600)
    p.add_argument("--payload", default=default_payload)
    p.add_argument("--version", default="5")
    p.add_argument("--delay-version", type=float, default=0.0)
    p.add_argument("--fail-downloads", type=int, default=0)
    p.add_argument("--always-404", action="store_true")
    p.add_argument("--wrong-md5", action="store_true")
    p.add_argument("--upper-md5", action="store_true")
    p.add_argument("--short-body", action="store_true")
    p.add_argument("--chunked", action="store_true")
    p.add_argument("--version-down", default="", choices=["", "refuse", "500"])
    p.add_argument("--no-url", action="store_true")
    p.add_argument("--version-array", action="store_true")
    p.add_argument("--slow-body", type=float, default=0.0)
    args = p.parse_args()
    args.payload = os.path.abspath(args.payload)

    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.state = State(args)
    port = server.server_address[1]

    if args.daemon:
        if args.port_file and os.path.exists(args.port_file):
            os.unlink(args.port_file)
        if os.fork() > 0:
            # Return only once the server is reachable (the port file exists).
            deadline = time.time() + 10
            while args.port_file and not os.path.exists(args.port_file) and time.time() < deadline:
                time.sleep(0.05)
            os._exit(0)
        os.setsid()
        if os.fork() > 0:
            os._exit(0)
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
    if args.pid_file:
        with open(args.pid_file, "w") as f:
            f.write("%d\n" % os.getpid())
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d\n" % port)
        os.replace(tmp, args.port_file)
    if not args.daemon:
        print("vendor_sim listening on 127.0.0.1:%d" % port, flush=True)

    timer = threading.Timer(args.lifetime, server.shutdown)
    timer.daemon = True
    timer.start()
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        if args.port_file:
            try:
                os.unlink(args.port_file)
            except OSError:
                pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
