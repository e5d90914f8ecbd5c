#!/usr/bin/env python3
"""zqtool get against the test server: output lines, exit codes, --out file."""
import os
import subprocess
import sys
import tempfile

build = os.environ["ZQ_BUILD"]
zqtool = os.path.join(os.environ["ZQ_BIN"], "zqtool.exe")
ports = dict(line.split() for line in open(os.path.join(build, "http_servers", "ports.txt")))
base = "http://127.0.0.1:%s" % ports["http"]
failures = []


def run(*args):
    p = subprocess.run(["wine", zqtool, "get"] + list(args), stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
    return p.returncode, p.stdout.decode().replace("\r", "").split("\n")[:-1]


def expect(name, got, want):
    if got != want:
        failures.append("%s: got %r, want %r" % (name, got, want))


for extra in ([], ["--socket"]):
    code, lines = run(base + "/fixed?n=1000", *extra)
    expect("memory %s" % extra, (code, lines), (0, ["status 200", "total 1000", "bytes 1000", "result ok"]))

    code, lines = run(base + "/short?n=1000&send=400", *extra)
    expect("short %s" % extra, (code, lines[:3], lines[-2:]),
           (1, ["status 200", "total 1000", "error 19 38"], ["bytes 400", "result failed"]))

    with tempfile.TemporaryDirectory(dir=build) as tmp:
        out = os.path.join(tmp, "body.bin")
        code, lines = run(base + "/chunked?sizes=40000,5", "--out", out, *extra)
        expect("file %s" % extra, (code, lines), (0, ["status 200", "total -1", "bytes 40005", "result ok"]))
        data = open(out, "rb").read() if os.path.exists(out) else b""
        expect("file content %s" % extra, data, bytes(i % 251 for i in range(40005)))

        code, lines = run(base + "/status?code=404", "--out", out + "2", *extra)
        expect("404 %s" % extra, (code, lines, os.path.exists(out + "2")),
               (1, ["status 404", "total 20", "bytes 0", "result failed"], False))

code, lines = run("https://127.0.0.1:%s/fixed?n=10" % ports["https"])
expect("https", (code, len(lines), lines[0].split()[:2], lines[-1]), (1, 3, ["error", "16"], "result failed"))

code, lines = run("http://127.0.0.1:%s/" % ports["refused"], "--socket")
expect("refused", (code, lines), (1, ["error 12 10061", "bytes 0", "result failed"]))

code, lines = run()
expect("usage", code, 2)

for f in failures:
    print(f)
print("ok" if not failures else "%d failures" % len(failures))
sys.exit(1 if failures else 0)
