#!/usr/bin/env python3
"""Reads a DLL's version resource as Windows' file properties show it and checks it against
the project's version: the fixed file and product versions and the string table's texts.

    check-version-resource.py DLL VERSION
Exit: 0 good, 1 wrong or missing, 77 the DLL is not built (ctest skips).
"""
import os
import struct
import sys


def strings_of(data):
    """The VALUE entries of every StringFileInfo table: {key: text}."""
    found = {}
    for key in (b"CompanyName", b"FileDescription", b"FileVersion", b"ProductName",
                b"ProductVersion", b"OriginalFilename"):
        wide = key.decode().encode("utf-16-le") + b"\0\0"
        at = data.find(wide)
        if at < 0:
            continue
        at += len(wide)
        at += (-at) % 4  # the value starts on a 32-bit boundary
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        found[key.decode()] = data[at:end].decode("utf-16-le")
    return found


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    path, version = sys.argv[1], sys.argv[2]
    if not os.path.isfile(path):
        print(f"SKIP: {path} is not built")
        return 77
    data = open(path, "rb").read()
    failures = []
    numbers = [int(n) for n in version.split(".")] + [0] * 4
    want = ((numbers[0] << 16) | numbers[1], (numbers[2] << 16) | numbers[3])
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        failures.append("no VS_FIXEDFILEINFO")
    else:
        _, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", data, fixed)
        if (file_ms, file_ls) != want or (product_ms, product_ls) != want:
            failures.append(f"fixed versions {file_ms:#x}.{file_ls:#x} / {product_ms:#x}."
                            f"{product_ls:#x}, want {want[0]:#x}.{want[1]:#x}")
    texts = strings_of(data)
    expected = {"ProductName": "Vevirur 2", "FileVersion": version, "ProductVersion": version,
                "CompanyName": "Vevirur 2 developers", "OriginalFilename": "vis_vevirur2.dll"}
    for key, text in expected.items():
        if texts.get(key) != text:
            failures.append(f"{key} is {texts.get(key)!r}, want {text!r}")
    if "Vevirur 2" not in texts.get("FileDescription", ""):
        failures.append(f"FileDescription is {texts.get('FileDescription')!r}")
    for failure in failures:
        print(f"FAIL: {path}: {failure}")
    return 1 if failures else 0


sys.exit(main())
