#!/usr/bin/env python3
"""A stand-in skin of the shipped proportions (64 files, ~450 KB unpacked):
57 PNG images, layouts, a BMP strip and a 638-row UTF-16 language table.
make_bench_archive.py STAGE_DIR (then pack it with 7zz)."""
import os
import struct
import sys
import zlib

stage = sys.argv[1]


def png(width, height, seed):
    # RGBA gradients with a soft disc: compresses like drawn art does.
    rows = bytearray()
    cx, cy, r2 = width / 2, height / 2, (min(width, height) / 2.5) ** 2
    for y in range(height):
        rows.append(0)
        for x in range(width):
            inside = (x - cx) ** 2 + (y - cy) ** 2 < r2
            rows += bytes(((x * 255 // max(1, width - 1) + seed) & 0xFF,
                           (y * 255 // max(1, height - 1)) & 0xFF,
                           (seed * 37) & 0xFF, 255 if inside else 128))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def write(rel, data):
    path = os.path.join(stage, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


sizes = [(150, 45), (120, 40), (40, 20), (24, 24), (16, 16), (200, 36), (90, 30)]
for i in range(57):
    w, h = (610, 480) if i == 0 else sizes[i % len(sizes)]
    folder = "msg/" if i % 9 == 0 else ""
    write(f"{folder}image_{i:02d}.png", png(w, h, i))
layout = ('<?xml version="1.0" encoding="utf-8"?>\n<Window size="610,480" caption="0,0,0,60">\n' +
          "".join(f'  <Button name="b{i}" pos="{i},{i},{i + 40},{i + 20}" float="true" '
                  f'normalimage="file=\'image_{i % 57:02d}.png\' source=\'0,0,40,20\'" />\n'
                  for i in range(60)) + "</Window>\n").encode()
for name in ["mainframe.xml", "mainframe_xp.xml", "protocolwnd.xml", "protocolwnd_xp.xml",
             "msg/xml_messagebox.xml"]:
    write(name, layout)
write("scrollbar.bmp", b"BM" + bytes(range(256)) * 60)
rows = ["\t".join(["Class", "ID", "中文简体", "中文繁体", "한글", "English", "日本語", "Tiếng Việt", "", ""])]
for i in range(637):
    rows.append("\t".join(["Label", f"id_{i}", f"文本{i}", f"文本{i}", f"텍스트{i}", f"Text {i}",
                           f"テキスト{i}", f"Văn bản {i}", "", ""]))
write("multi_language.txt", ("\ufeff" + "\t\r\n".join(rows) + "\t\r\n").encode("utf-16-le"))
