#!/usr/bin/env python3
"""HTTP/HTTPS test server for the HTTP client tests (127.0.0.1 only).

  http_test_server.py start --dir DIR [--lifetime S]   daemon; writes DIR/ports.txt
  http_test_server.py stop --dir DIR
  http_test_server.py serve --dir DIR [--lifetime S]   in the foreground

DIR/ports.txt holds "NAME PORT" lines: http, https (self-signed certificate,
made with openssl in DIR), stall (a listener whose backlog is full, so a
connect blocks), refused (bound, never listening). The server always ends
after its lifetime.

Routes (GET, query parameters in brackets):
  /fixed?n=N[&cl=0][&hdr=lower|nospace|spaced]   N pattern bytes
  /chunked?sizes=A,B,..[&ext=1][&pad=1][&trailer=1]
  /raw?b=BASE64URL[&stall=S]    exactly these bytes, then close
  /short?n=N&send=M             Content-Length N, M bytes, close
  /stall-body?n=N&send=M[&t=S]  M bytes of N, then silence
  /stall-header[?t=S]           no answer at all
  /status?code=C[&n=N]
  /redirect?code=C&to=URL  /chain?n=K[&code=C][&size=N]  /loop  /rel
  /endless                      no length, bytes until the client goes
  /keepalive?mode=zero|nolen    keeps the connection unless asked to close
  /bighead?n=N                  a header line of N bytes
  /echo                         the request head as the body
Body byte i is i % 251.
"""
import argparse
import base64
import os
import signal
import socket
import socketserver
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse

BLOCK = bytes(i % 251 for i in range(251 * 261))
MAX_STALL = 60.0


def pattern(offset, n):
    start = offset % 251
    out = bytearray()
    need = n
    pos = start
    while need > 0:
        piece = BLOCK[pos:pos + need]
        out += piece
        need -= len(piece)
        pos = 0
    return bytes(out)


def read_head(sock):
    data = b""
    while b"\r\n\r\n" not in data:
        if len(data) > 65536:
            return None
        chunk = sock.recv(4096)
        if not chunk:
            return None
        data += chunk
    return data[:data.index(b"\r\n\r\n") + 4]


def wait_for_close(sock, seconds):
    """Sleeps until the peer closes or seconds pass."""
    sock.settimeout(0.2)
    end = time.time() + min(seconds, MAX_STALL)
    while time.time() < end:
        try:
            if sock.recv(65536) == b"":
                return
        except socket.timeout:
            pass
        except OSError:
            return


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.settimeout(30)

    def send(self, data):
        self.request.sendall(data)

    def respond(self, status, reason, headers, body=b"", close=True):
        # Every answer but /keepalive ends its connection and says so, or
        # WinINet pools the connection and later reuses a closed one.
        head = "HTTP/1.1 %d %s\r\n" % (status, reason)
        if close:
            headers = headers + [("Connection", "close")]
        for name, value in headers:
            head += "%s: %s\r\n" % (name, value)
        self.send(head.encode("latin-1") + b"\r\n" + body)

    def handle(self):
        try:
            head = read_head(self.request)
            if head is None:
                return
            line = head.split(b"\r\n", 1)[0].decode("latin-1")
            parts = line.split(" ")
            if len(parts) < 2:
                return
            url = urllib.parse.urlsplit(parts[1])
            q = {k: v[0] for k, v in urllib.parse.parse_qs(url.query).items()}
            route = getattr(self, "r_" + url.path.strip("/").replace("-", "_"), None)
            if route is None:
                self.respond(404, "Not Found", [("Content-Length", "9")], b"not found")
                return
            route(q, head)
        except (OSError, ssl.SSLError):
            pass

    def base(self):
        scheme = "https" if isinstance(self.request, ssl.SSLSocket) else "http"
        return "%s://127.0.0.1:%d" % (scheme, self.server.server_address[1])

    def r_fixed(self, q, head):
        n = int(q.get("n", "100"))
        headers = [("Content-Type", "application/octet-stream")]
        if q.get("cl", "1") != "0":
            form = q.get("hdr", "")
            if form == "lower":
                headers.append(("content-length", str(n)))
            elif form == "nospace":
                self.send(b"HTTP/1.1 200 OK\r\nContent-Length:%d\r\nConnection: close\r\n\r\n" % n
                          + pattern(0, n))
                return
            elif form == "spaced":
                self.send(b"HTTP/1.1 200 OK\r\nContent-Length  :   %d  \r\nConnection: close\r\n\r\n" % n
                          + pattern(0, n))
                return
            else:
                headers.append(("Content-Length", str(n)))
        self.respond(200, "OK", headers, pattern(0, n))

    def r_nolen(self, q, head):
        q["cl"] = "0"
        self.r_fixed(q, head)

    def r_chunked(self, q, head):
        sizes = [int(s) for s in q.get("sizes", "5").split(",") if s]
        out = b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
        offset = 0
        for size in sizes:
            digits = ("%x" if offset % 2 else "%X") % size
            if q.get("pad") == "1":
                digits = "0000000" + digits
            ext = ";name=value" if q.get("ext") == "1" else ""
            out += (digits + ext + "\r\n").encode() + pattern(offset, size) + b"\r\n"
            offset += size
        out += b"0\r\n"
        if q.get("trailer") == "1":
            out += b"X-Trailer-One: 1\r\nX-Trailer-Two: 2\r\n"
        out += b"\r\n"
        self.send(out)
        wait_for_close(self.request, 2)

    def r_raw(self, q, head):
        self.send(base64.urlsafe_b64decode(q.get("b", "") + "=" * 4))
        stall = float(q.get("stall", "0"))
        if stall:
            wait_for_close(self.request, stall)

    def r_short(self, q, head):
        n, send = int(q.get("n", "1000")), int(q.get("send", "500"))
        self.respond(200, "OK", [("Content-Length", str(n))], pattern(0, send))

    def r_stall_body(self, q, head):
        n, send = int(q.get("n", "100000")), int(q.get("send", "1000"))
        self.respond(200, "OK", [("Content-Length", str(n))], pattern(0, send))
        wait_for_close(self.request, float(q.get("t", MAX_STALL)))

    def r_stall_header(self, q, head):
        wait_for_close(self.request, float(q.get("t", MAX_STALL)))

    def r_status(self, q, head):
        code = int(q.get("code", "404"))
        if code in (204, 304):
            self.respond(code, "No Body", [])
            wait_for_close(self.request, 2)
            return
        n = int(q.get("n", "20"))
        self.respond(code, "Status", [("Content-Length", str(n))], pattern(0, n))

    def r_redirect(self, q, head):
        code = int(q.get("code", "302"))
        self.respond(code, "Moved", [("Location", q.get("to", "/fixed")), ("Content-Length", "0")])

    def r_chain(self, q, head):
        n, code, size = int(q.get("n", "3")), q.get("code", "302"), q.get("size", "100")
        if n <= 0:
            self.r_fixed({"n": size}, head)
            return
        to = "%s/chain?n=%d&code=%s&size=%s" % (self.base(), n - 1, code, size)
        self.respond(int(code), "Moved", [("Location", to), ("Content-Length", "0")])

    def r_loop(self, q, head):
        self.respond(302, "Found", [("Location", self.base() + "/loop"), ("Content-Length", "0")])

    def r_rel(self, q, head):
        self.respond(302, "Found", [("Location", "/fixed?n=10"), ("Content-Length", "0")])

    def r_endless(self, q, head):
        self.send(b"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n")
        end = time.time() + MAX_STALL
        sent = 0
        while time.time() < end and sent < 256 * 1024 * 1024:
            self.send(BLOCK)
            sent += len(BLOCK)

    def r_keepalive(self, q, head):
        wants_close = b"connection:close" in head.lower().replace(b" ", b"")
        if q.get("mode") == "zero":
            self.respond(200, "OK", [("Content-Length", "0")], close=False)
        else:
            self.respond(200, "OK", [], pattern(0, 300), close=False)
        if not wants_close:
            wait_for_close(self.request, 30)

    def r_bighead(self, q, head):
        self.send(b"HTTP/1.1 200 OK\r\nConnection: close\r\nX-Big: " + b"a" * int(q.get("n", "70000"))
                  + b"\r\n\r\n")

    def r_echo(self, q, head):
        self.respond(200, "OK", [("Content-Length", str(len(head)))], head)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


class TlsServer(Server):
    def __init__(self, address, handler, context):
        super().__init__(address, handler)
        self.context = context

    def get_request(self):
        sock, addr = self.socket.accept()
        sock.settimeout(10)
        try:
            return self.context.wrap_socket(sock, server_side=True), addr
        except (OSError, ssl.SSLError):
            sock.close()
            raise OSError("handshake failed")

    def handle_error(self, request, client_address):
        pass


def make_cert(directory):
    cert, key = os.path.join(directory, "cert.pem"), os.path.join(directory, "key.pem")
    if not (os.path.exists(cert) and os.path.exists(key)):
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                        "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def serve(directory, lifetime):
    ports_file = os.path.join(directory, "ports.txt")
    threading.Timer(lifetime, lambda: os._exit(0)).start()  # hard lifetime cap

    http = Server(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(*make_cert(directory))
    https = TlsServer(("127.0.0.1", 0), Handler, context)

    stall = socket.socket()
    stall.bind(("127.0.0.1", 0))
    stall.listen(0)
    fillers = []  # fill the accept queue so that further connects block
    for _ in range(4):
        c = socket.socket()
        c.setblocking(False)
        try:
            c.connect(stall.getsockname())
        except BlockingIOError:
            pass
        fillers.append(c)

    refused = socket.socket()
    refused.bind(("127.0.0.1", 0))

    for server in (http, https):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    tmp = ports_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("http %d\nhttps %d\nstall %d\nrefused %d\n" % (
            http.server_address[1], https.server_address[1],
            stall.getsockname()[1], refused.getsockname()[1]))
    os.replace(tmp, ports_file)
    signal.signal(signal.SIGTERM, lambda *a: os._exit(0))
    while True:
        time.sleep(3600)


def start(directory, lifetime):
    os.makedirs(directory, exist_ok=True)
    ports_file = os.path.join(directory, "ports.txt")
    stop(directory)
    if os.path.exists(ports_file):
        os.remove(ports_file)
    make_cert(directory)
    pid = os.fork()
    if pid == 0:
        os.setsid()
        if os.fork() != 0:
            os._exit(0)
        log = os.open(os.path.join(directory, "server.log"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC)
        null = os.open(os.devnull, os.O_RDONLY)
        os.dup2(null, 0)
        os.dup2(log, 1)
        os.dup2(log, 2)
        with open(os.path.join(directory, "server.pid"), "w") as f:
            f.write(str(os.getpid()))
        try:
            serve(directory, lifetime)
        finally:
            os._exit(1)
    os.waitpid(pid, 0)
    for _ in range(100):
        if os.path.exists(ports_file):
            print(open(ports_file).read().strip())
            return 0
        time.sleep(0.1)
    print("server did not start", file=sys.stderr)
    return 1


def stop(directory):
    pid_file = os.path.join(directory, "server.pid")
    if os.path.exists(pid_file):
        try:
            os.kill(int(open(pid_file).read().strip()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        os.remove(pid_file)
    ports_file = os.path.join(directory, "ports.txt")
    if os.path.exists(ports_file):
        os.remove(ports_file)
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("action", choices=["start", "stop", "serve"])
    parser.add_argument("--dir", required=True)
    parser.add_argument("--lifetime", type=float, default=1800)
    args = parser.parse_args()
    if args.action == "start":
        return start(args.dir, args.lifetime)
    if args.action == "stop":
        return stop(args.dir)
    os.makedirs(args.dir, exist_ok=True)
    serve(args.dir, args.lifetime)
    return 0


if __name__ == "__main__":
    sys.exit(main())
