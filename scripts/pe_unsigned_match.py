#!/usr/bin/env python3
"""Tells whether a program file with its signature removed is the unsigned program file it was made from.

Usage: pe_unsigned_match.py UNSIGNED REMOVED

They must be the same bytes, but for the PE header's checksum: the MinGW-w64 linker leaves it 0 ("none"),
and osslsigncode's remove-signature fills in the computed one, as it does on signing. Windows checks that
checksum for drivers only, and Authenticode leaves it out of the signed digest.
"""

import struct
import sys


def checksum_offset(data):
    if data[:2] != b"MZ":
        raise SystemExit("not a Windows program file")
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[header:header + 4] != b"PE\0\0":
        raise SystemExit("no PE header")
    return header + 24 + 64  # past the signature and the file header, then into the optional header


def main(unsigned_path, removed_path):
    with open(unsigned_path, "rb") as file:
        unsigned = file.read()
    with open(removed_path, "rb") as file:
        removed = bytearray(file.read())
    at = checksum_offset(unsigned)
    if unsigned[at:at + 4] != b"\0\0\0\0":
        raise SystemExit(f"{unsigned_path} has a PE checksum of its own: compare the files whole")
    removed[at:at + 4] = b"\0\0\0\0"
    if len(removed) != len(unsigned):
        raise SystemExit(f"{removed_path} has {len(removed)} bytes, the unsigned file {len(unsigned)}")
    differ = next((i for i, (a, b) in enumerate(zip(unsigned, removed)) if a != b), None)
    if differ is not None:
        raise SystemExit(f"{removed_path} differs from {unsigned_path} at byte {differ}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2])
