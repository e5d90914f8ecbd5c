#!/usr/bin/env python3
"""Re-encode a UTF-8 text source as UTF-16LE with a byte-order mark and CR LF
line ends, the form the program reads its language table and licence in.

usage: encode_utf16.py IN OUT [--no-final-newline]
"""
import sys


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        text = f.read()
    text = text.lstrip("\ufeff").replace("\r\n", "\n").replace("\r", "\n")
    if "--no-final-newline" in argv[3:]:
        text = text.rstrip("\n")
    data = "\ufeff" + text.replace("\n", "\r\n")
    with open(argv[2], "wb") as f:
        f.write(data.encode("utf-16-le"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
