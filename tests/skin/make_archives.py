#!/usr/bin/env python3
"""Builds the 7z fixtures of the skin tests with 7zz, each with NAME.expected:
the "path size" lines the extraction must deliver, then "result CODE"."""
import os
import shutil
import struct
import subprocess
import sys
import zlib

out = os.path.abspath(sys.argv[1])
stage = os.path.join(out, "stage")


def pseudo_random(n, seed):
    # Deterministic, poorly compressible bytes (a linear congruential stream).
    b = bytearray(n)
    x = seed
    for i in range(n):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        b[i] = (x >> 16) & 0xFF
    return bytes(b)


def language_table():
    rows = [
        ["Class", "ID", "中文简体", "中文繁体", "한글", "English", "日本語", "Tiếng Việt", "", ""],
        ["Button", "confirm", "确定", "確定", "확인", "Confirm", "確認", "Xác nhận", "", ""],
        ["Label", "prompt", "提示", "提示", "알림", "Prompt", "ヒント", "Nhắc", "", ""],
        ["Label", "store_only", "来自存档", "", "", "From archive", "", "", "", ""],
    ]
    text = "\ufeff" + "".join("".join(c + "\t" for c in r) + "\r\n" for r in rows)
    return text.encode("utf-16-le")


def write(rel, data):
    path = os.path.join(stage, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def fresh_stage(files, dirs=()):
    shutil.rmtree(stage, ignore_errors=True)
    os.makedirs(stage)
    for d in dirs:
        os.makedirs(os.path.join(stage, d), exist_ok=True)
    for rel, data in files:
        write(rel, data)


def pack(name, *switches):
    target = os.path.join(out, name)
    if os.path.exists(target):
        os.remove(target)
    subprocess.run(["7zz", "a", "-t7z", "-bd", "-bso0", "-bsp0", *switches, target, "."],
                   cwd=stage, check=True)
    return target


def listing(archive):
    """Entries in archive order: (path, size, is_dir)."""
    text = subprocess.run(["7zz", "l", "-slt", "-bd", archive], check=True,
                          capture_output=True, text=True, encoding="utf-8").stdout
    entries, cur = [], None
    for line in text.split("----------\n", 1)[1].splitlines():
        if line.startswith("Path = "):
            cur = {"path": line[7:]}
            entries.append(cur)
        elif cur is not None and line.startswith("Size = "):
            cur["size"] = int(line[7:] or 0)
        elif cur is not None and line.startswith("Attributes = "):
            cur["dir"] = line[13:].startswith("D")
    return [(e["path"], e.get("size", 0), e.get("dir", False)) for e in entries]


def delivered(archive, skip=lambda p: False):
    return [(p, s) for p, s, d in listing(archive) if not d and s > 0 and not skip(p)]


def expect(name, files, code):
    with open(os.path.join(out, name + ".expected"), "w", encoding="utf-8", newline="\n") as f:
        for p, s in files:
            f.write(f"{p} {s}\n")
        f.write(f"result {code}\n")


os.makedirs(out, exist_ok=True)
skin = [
    ("mainframe.xml", b'<?xml version="1.0" encoding="utf-8"?>\n<Window size="610,480" />\n'),
    ("msg/xml_messagebox.xml", b'<?xml version="1.0" encoding="utf-8"?>\n<Window size="380,200" />\n'),
    ("images/btn.png", pseudo_random(3000, 7)),
    ("images/\u6309\u94ae.png", pseudo_random(1500, 11)),
    ("multi_language.txt", language_table()),
    ("zero.txt", b""),
    ("scrollbar.xml", b"<ScrollbarConfig>" + b"<Image />" * 400 + b"</ScrollbarConfig>\n"),
]
fresh_stage(skin, dirs=["empty"])
for name, switches in [("lzma2.7z", ["-m0=lzma2"]), ("lzma.7z", ["-m0=lzma"]),
                       ("bcj.7z", ["-m0=lzma2", "-mf=BCJ"]), ("multi.7z", ["-m0=lzma2", "-ms=off"])]:
    a = pack(name, *switches)
    expect(name, delivered(a), 0)

# A stored CRC-32 that no longer matches the second delivered file: header
# left uncompressed, the digest patched, the header CRCs made right again.
a = pack("crc.7z", "-m0=lzma2", "-mhc=off")
files = delivered(a)
victim = files[1][0]
with open(os.path.join(stage, victim), "rb") as f:
    crc = zlib.crc32(f.read()) & 0xFFFFFFFF
data = bytearray(open(a, "rb").read())
next_offset, next_size = struct.unpack_from("<QQ", data, 12)
hstart = 32 + next_offset
header = data[hstart:hstart + next_size]
needle = struct.pack("<I", crc)
assert header.count(needle) == 1, "digest of the victim not unique in the header"
pos = hstart + header.find(needle)
data[pos:pos + 4] = struct.pack("<I", crc ^ 0x5A5A5A5A)
struct.pack_into("<I", data, 28, zlib.crc32(data[hstart:hstart + next_size]) & 0xFFFFFFFF)
struct.pack_into("<I", data, 8, zlib.crc32(data[12:32]) & 0xFFFFFFFF)
open(a, "wb").write(data)
expect("crc.7z", files[:1], 1005)

# Cut short: the header at the end is missing.
whole = open(os.path.join(out, "lzma2.7z"), "rb").read()
open(os.path.join(out, "truncated.7z"), "wb").write(whole[: len(whole) // 2])
open(os.path.join(out, "garbage.7z"), "wb").write(pseudo_random(4096, 3))

# Paths of 259 units are delivered, longer ones are left out.
ok_path = "d" * 200 + "/" + "f" * 58            # 259 units
long_path = "d" * 200 + "/" + "g" * 100         # 301 units
fresh_stage([("first.txt", b"first"), (ok_path, b"fits"), (long_path, b"too long"),
             ("last.txt", b"last")])
a = pack("longpath.7z", "-m0=lzma2")
expect("longpath.7z", delivered(a, skip=lambda p: len(p) > 259), 0)

shutil.rmtree(stage, ignore_errors=True)
