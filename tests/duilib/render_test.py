"""zqtool render of every product layout: exit code 0, a PNG of the window
size with an alpha channel; --xp picks the "_xp" variant; the shadow of the
layered main window is translucent at the edge and the content opaque."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

BIN = os.environ["ZQ_BIN"]
ZQTOOL = os.path.join(BIN, "zqtool.exe")


def winpath(p):
    return "Z:" + p.replace("/", "\\")


def read_png(path):
    """Width, height and RGBA rows of a non-interlaced 8-bit RGBA PNG."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, w = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, ctype, interlace) == (8, 6, 0), (depth, ctype, interlace)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, rows, prev = zlib.decompress(idat), w * 4, [], bytearray(w * 4)
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return w, h, rows


def alpha(rows, x, y):
    return rows[y][x * 4 + 3]


def render(layout, out, *extra):
    r = subprocess.run(["wine", ZQTOOL, "render", layout, winpath(out), *extra],
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    text = r.stdout.decode("utf-8", "replace").strip()
    assert r.returncode == 0, f"{layout} {extra}: exit {r.returncode}: {text}"
    return text


def main():
    failures = []
    cases = [
        ("mainframe.xml", (), (610, 480), "mainframe.xml"),
        ("mainframe.xml", ("--xp",), (590, 460), "mainframe_xp.xml"),
        ("protocolwnd.xml", (), (610, 480), "protocolwnd.xml"),
        ("protocolwnd.xml", ("--xp",), (580, 450), "protocolwnd_xp.xml"),
        ("msg/xml_messagebox.xml", (), (460, 250), "msg/xml_messagebox.xml"),
    ]
    with tempfile.TemporaryDirectory() as tmp:
        for layout, extra, size, used in cases:
            out = os.path.join(tmp, layout.replace("/", "_") + "".join(extra) + ".png")
            try:
                text = render(layout, out, *extra)
                assert text.endswith(used), f"used {text!r}, expected {used}"
                w, h, rows = read_png(out)
                assert (w, h) == size, f"{layout}{extra}: {w}x{h}, expected {size}"
                if layout == "mainframe.xml" and not extra:
                    assert 0 < alpha(rows, 5, 240) < 255, "translucent shadow at the edge"
                    assert alpha(rows, 300, 240) == 255, "opaque content"
                else:
                    assert alpha(rows, w // 2, h // 2) == 255, "opaque window"
                print(f"ok {layout} {' '.join(extra)} {w}x{h}")
            except (AssertionError, subprocess.TimeoutExpired) as e:
                failures.append(str(e))
                print(f"FAIL {layout} {' '.join(extra)}: {e}")
        # A layout the skin does not have: exit code 1, no window, no box.
        r = subprocess.run(["wine", ZQTOOL, "render", "no_such.xml", winpath(os.path.join(tmp, "x.png"))],
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        if r.returncode != 1:
            failures.append(f"missing layout: exit {r.returncode}")
    if failures:
        sys.exit(1)


if __name__ == "__main__":
    main()
