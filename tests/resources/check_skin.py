#!/usr/bin/env python3
"""Checks the built skin archive and licence text.

usage: check_skin.py SKIN_ARCHIVE LICENCE_TEXT
Exit code 0 when every check passes; each failure is printed.
"""
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

LAYOUT_CONTROLS = {
    "mainframe.xml": [
        "titlebar", "titlename", "addQQGroupBtn", "minbtn", "closebtn", "maintab",
        "userdefinitionsui", "pathedit", "browsebtn", "errorpathnoticeui",
        "protocoleLayout", "acceptprotocolopt", "LicenseAgreementText",
        "protocollinkbtn", "userdefinitionBtn", "backBtn", "direction_left",
        "direction_right", "installnowbtn", "loadingprogresslabel",
        "installprogressbar", "downloadProgressLabel"],
    "protocolwnd.xml": ["confirmprotocolbtn", "protocoledit"],
    "msg/xml_messagebox.xml": ["titlelabel", "closebtn", "msgiconimage",
                               "descriptlabel", "bottombar"],
}
LAYOUT_CONTROLS["mainframe_xp.xml"] = LAYOUT_CONTROLS["mainframe.xml"]
LAYOUT_CONTROLS["protocolwnd_xp.xml"] = LAYOUT_CONTROLS["protocolwnd.xml"]

# Images that the window code sets at run time rather than the layouts.
CODE_IMAGES = [
    "error_edit_bg.png", "browse_button.png", "msg/msg_notice_icon.png",
    "msg/msg_warning_icon.png", "msg/msg_error_icon.png",
    "msg/msg_button_def.png", "msg/msg_button_sup.png",
]

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


def image_size(data):
    """(width, height) of a PNG or BMP, else None."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        return struct.unpack(">II", data[16:24])
    if data[:2] == b"BM":
        w, h = struct.unpack("<ii", data[18:26])
        return w, abs(h)
    return None


def image_refs(value):
    """(file, source rect or None) pairs named by one attribute value."""
    if "file=" in value:
        out = []
        for m in re.finditer(r"file='([^']*)'", value):
            tail = value[m.end():]
            nxt = tail.find("file=")
            part = tail if nxt < 0 else tail[:nxt]
            src = re.search(r"source='(\d+),(\d+),(\d+),(\d+)'", part)
            out.append((m.group(1), tuple(map(int, src.groups())) if src else None))
        return out
    if re.search(r"\.(png|bmp|jpg)$", value, re.I):
        return [(value, None)]
    return []


def attribute_values(root):
    for el in root.iter():
        for key, value in el.attrib.items():
            if key == "value":  # Default: an attribute list of its own
                for m in re.finditer(r'(\w+)="([^"]*)"', value):
                    yield el, m.group(1), m.group(2)
            else:
                yield el, key, value


def check_language(data):
    if not check(data[:2] == b"\xff\xfe", "multi_language.txt: no UTF-16LE byte-order mark"):
        return
    text = data[2:].decode("utf-16-le")
    check(text.endswith("\r\n"), "multi_language.txt: last row not ended by CR LF")
    rows = text.split("\r\n")[:-1]
    check("\n" not in "".join(rows) and "\r" not in "".join(rows),
          "multi_language.txt: stray CR or LF inside a row")
    cells = {}
    for row in rows:
        check(row.endswith("\t\t\t") and row.count("\t") == 10,
              f"multi_language.txt: row {row!r} is not 10 cells each followed by a TAB")
        parts = row.split("\t")
        cells[parts[1]] = parts
    header = ["Class", "ID", "中文简体", "中文繁体", "한글", "English", "日本語", "Tiếng Việt", "", ""]
    check(rows and rows[0].split("\t")[:10] == header, "multi_language.txt: header row differs")
    for row_id, cls, zh, en in (("confirm", "Button", "确定", "Confirm"),
                                ("prompt", "Label", "提示", "Prompt")):
        parts = cells.get(row_id)
        check(parts is not None and parts[0] == cls and parts[2] == zh and parts[5] == en,
              f"multi_language.txt: row {row_id} missing or wrong: {parts}")


def check_licence(path):
    if not check(Path(path).is_file(), f"licence: {path} was not built"):
        return
    data = Path(path).read_bytes()
    if not check(data[:2] == b"\xff\xfe", "licence: no UTF-16LE byte-order mark"):
        return
    text = data[2:].decode("utf-16-le")
    check(re.search(r"(?<!\r)\n", text) is None, "licence: line break without CR")
    lines = text.split("\r\n")
    check(100 <= len(lines) <= 140, f"licence: {len(lines)} lines")
    check(4000 <= len(text) <= 6000, f"licence: {len(text)} characters")
    check("许可协议" in lines[0], "licence: first line is not the title")
    rules = [i for i, l in enumerate(lines) if re.fullmatch(r"={10,}", l)]
    check(len(rules) == 2 and lines[rules[0] + 1].startswith("重要提示"),
          "licence: no important notice framed by two lines of '='")
    clauses = [l for l in lines if re.match(r"\d+\.\d+ ", l)]
    check(len(clauses) >= 30, f"licence: only {len(clauses)} numbered clauses")


def main(argv):
    archive, licence = argv[1], argv[2]
    listing = subprocess.run(["7zz", "l", "-slt", archive], capture_output=True, text=True)
    if not check(listing.returncode == 0, f"7zz l failed: {listing.stderr}"):
        return report()
    paths = set(re.findall(r"^Path = (.+)$", listing.stdout, re.M)) - {archive}
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["7zz", "x", "-y", "-bso0", f"-o{tmp}", archive], check=True)
        files = {p: (Path(tmp) / p).read_bytes() for p in paths if (Path(tmp) / p).is_file()}

    named = [(img, None, "code") for img in CODE_IMAGES]
    roots = {}
    for layout, controls in LAYOUT_CONTROLS.items():
        if not check(layout in files, f"{layout}: not in the archive"):
            continue
        check(files[layout].startswith(b"<?xml"), f"{layout}: no XML declaration")
        try:
            root = ET.fromstring(files[layout])
        except ET.ParseError as e:
            check(False, f"{layout}: not well-formed: {e}")
            continue
        roots[layout] = root
        names = {el.get("name") for el in root.iter()}
        for c in controls:
            check(c in names, f"{layout}: control {c} missing")
        for _, key, value in attribute_values(root):
            if key.endswith("image"):
                named += [(f, src, layout) for f, src in image_refs(value)]
    sb = ET.fromstring(files.get("scrollbar.xml", b"<x/>"))
    check(sb.tag == "ScrollbarConfig", "scrollbar.xml: root is not ScrollbarConfig")
    check({d.get("name") for d in sb.iter("Default")} == {"VScrollBar", "HScrollBar"},
          "scrollbar.xml: Default entries for VScrollBar and HScrollBar missing")
    named += [(i.get("name"), None, "scrollbar.xml") for i in sb.iter("Image")]
    for _, key, value in attribute_values(sb):
        if key.endswith("image"):
            named += [(f, src, "scrollbar.xml") for f, src in image_refs(value)]

    for img, src, where in named:
        if not check(img in files, f"{where}: image {img} not in the archive"):
            continue
        size = image_size(files[img])
        if check(size is not None, f"{img}: not a PNG or BMP") and src:
            check(src[2] <= size[0] and src[3] <= size[1] and src[0] < src[2] and src[1] < src[3],
                  f"{where}: source {src} outside {img} of {size}")

    main_root = roots.get("mainframe.xml", ET.Element("Window"))
    xp_root = roots.get("mainframe_xp.xml", ET.Element("Window"))
    check(main_root.get("size") == "610,480" and "shadow.png" in main_root.get("layeredimage", ""),
          "mainframe.xml: window not 610x480 over shadow.png")
    check(xp_root.get("size") == "590,460" and xp_root.get("layeredimage") is None
          and xp_root.get("roundcorner") is None, "mainframe_xp.xml: layered features present")
    tab = [el for el in main_root.iter("TabLayout") if el.get("name") == "maintab"]
    check(tab and len(list(tab[0])) == 5, "mainframe.xml: maintab does not have 5 pages")
    shadow = image_size(files.get("shadow.png", b""))
    check(shadow == (610, 480), f"shadow.png is {shadow}, not 610x480")

    if check("multi_language.txt" in files, "multi_language.txt: not in the archive"):
        check_language(files["multi_language.txt"])
    check_licence(licence)
    return report()


def report():
    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
