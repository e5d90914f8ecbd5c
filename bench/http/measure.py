#!/usr/bin/env python3
"""Driver of bench/http/run.sh: downloads the benchmark files every way,
interleaved, and prints throughput, ratios and peak memory.

  measure.py BIN_DIR WORK_DIR PORT ROUNDS OUT_DIR
"""
import os
import resource
import statistics
import subprocess
import sys
import time

bin_dir, work, port, rounds, out_dir = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5]
zqtool = os.path.join(bin_dir, "zqtool.exe")
bare = os.path.join(bin_dir, "bench", "http_bare_loop.exe")
out = os.path.join(out_dir, "download.bin")
win_out = "Z:" + out.replace("/", "\\")


def ways(name):
    url = "http://127.0.0.1:%s/%s" % (port, name)
    return [
        ("zqtool wininet", ["wine", zqtool, "get", url, "--out", win_out]),
        ("bare wininet", ["wine", bare, "wininet", "127.0.0.1", port, "/" + name, win_out]),
        ("zqtool socket", ["wine", zqtool, "get", url, "--out", win_out, "--socket"]),
        ("bare socket", ["wine", bare, "socket", "127.0.0.1", port, "/" + name, win_out]),
        ("curl", ["curl", "-s", "-o", out, url]),
    ]


def measure(command, expected):
    """Runs command in a child python so that the peak RSS is this run's own."""
    probe = ("import resource, subprocess, sys, time\n"
             "t = time.monotonic()\n"
             "r = subprocess.run(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,"
             " stderr=subprocess.DEVNULL).returncode\n"
             "print(r, time.monotonic() - t, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n")
    if os.path.exists(out):
        os.remove(out)
    line = subprocess.run([sys.executable, "-c", probe] + command, stdout=subprocess.PIPE,
                          check=True).stdout.decode().split()
    code, seconds, rss_kb = int(line[0]), float(line[1]), int(line[2])
    size = os.path.getsize(out) if os.path.exists(out) else -1
    if code != 0 or size != expected:
        raise SystemExit("FAILED: %s exit %d, %d bytes of %d" % (" ".join(command), code, size, expected))
    os.remove(out)
    return seconds, rss_kb


results = {}
for name in ("small.bin", "big.bin"):
    expected = os.path.getsize(os.path.join(work, "www", name))
    n = rounds if name == "big.bin" else 2
    for r in range(n):
        for way, command in ways(name):
            seconds, rss = measure(command, expected)
            results.setdefault((name, way), []).append((seconds, rss))
            print("  %-9s round %d  %-15s %7.2f s  %8.1f MiB/s  peak %6.1f MiB" % (
                name, r + 1, way, seconds, expected / seconds / 2**20, rss / 1024.0), flush=True)

big = os.path.getsize(os.path.join(work, "www", "big.bin"))


def rate(way, pick):
    return big / pick(s for s, _ in results[("big.bin", way)]) / 2**20


def peak(name, way):
    return max(m for _, m in results[(name, way)]) / 1024.0


# The machine is shared: the best round shows each way with the least
# interference, the median how it fares typically.
for label, pick in (("median", statistics.median), ("best", min)):
    print()
    print("1 GiB download, %s of %d rounds (MiB/s):" % (label, rounds))
    for way in ("zqtool wininet", "bare wininet", "zqtool socket", "bare socket", "curl"):
        print("  %-15s %8.1f   (%.3f of curl)" % (way, rate(way, pick), rate(way, pick) / rate("curl", pick)))
    print("ratio to the bare loop, %s (target >= 0.9):" % label)
    print("  wininet  %.3f" % (rate("zqtool wininet", pick) / rate("bare wininet", pick)))
    print("  socket   %.3f" % (rate("zqtool socket", pick) / rate("bare socket", pick)))
print()
print("peak memory, MiB (10 MiB file / 1 GiB file / difference; target difference <= 5):")
for way in ("zqtool wininet", "bare wininet", "zqtool socket", "bare socket", "curl"):
    small, large = peak("small.bin", way), peak("big.bin", way)
    print("  %-15s %7.1f %7.1f %+6.1f" % (way, small, large, large - small))
