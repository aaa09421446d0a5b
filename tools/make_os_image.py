#!/usr/bin/env python3
"""Writes an Orvex operating system image (.ops), deterministically.

The payload is pseudo-random bytes from a xorshift generator seeded by the
revision text, so the same arguments always give the same file. The layout is
described in docs/os-image-format.md.

    tools/make_os_image.py --revision 3.02.0018 --size 32768 data/OrvexOS-3.02.0018.ops
"""

import argparse
import re
import struct
import sys
import zlib

MAGIC = b"ORVEXOS1"
REVISION_FIELD = 16
MAX_PAYLOAD = 1024 * 1024
REVISION_PATTERN = re.compile(r"^[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,6}$")


def payload(revision: str, size: int) -> bytes:
    state = zlib.crc32(revision.encode("ascii")) or 0x2545F491
    out = bytearray()
    while len(out) < size:
        # xorshift32
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out += struct.pack("<I", state)
    return bytes(out[:size])


def image(revision: str, size: int) -> bytes:
    data = payload(revision, size)
    header = MAGIC + revision.encode("ascii").ljust(REVISION_FIELD, b"\0")
    header += struct.pack("<II", len(data), zlib.crc32(data))
    return header + data


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--revision", required=True, help="OS revision, e.g. 3.02.0018")
    parser.add_argument("--size", type=int, default=32768, help="payload bytes")
    parser.add_argument("output", help="the .ops file to write")
    args = parser.parse_args()
    if not REVISION_PATTERN.match(args.revision):
        parser.error("the revision must look like 3.02.0018")
    if not 1 <= args.size <= MAX_PAYLOAD:
        parser.error(f"the size must be 1 to {MAX_PAYLOAD} bytes")
    with open(args.output, "wb") as file:
        file.write(image(args.revision, args.size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
