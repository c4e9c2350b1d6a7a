#!/usr/bin/env python3
"""Checks the headers of built Windows programs without running them.

    check_pe.py --machine x86|x64 [--resources icon,version,manifest]
                [--reserved SECTION:FIRST-LAST] FILE...

For every FILE: a PE image for the given machine, of the Windows GUI
subsystem, importing system DLLs only (a static build must not need a
MinGW runtime DLL beside it), and holding the named resources. The manifest,
where asked for, must name the same processor architecture as the file, or
"*" (any).
Prints one line per file; exits 1 on the first file that fails.

With --reserved, the bytes at the 1-based file positions FIRST to LAST must
lie in the file data of SECTION: the solvers keep their launch letters there.

A build whose programs cannot run on this machine (a 32-bit build where only
64-bit code executes) is checked this way instead.
"""

import argparse
import re
import struct
import sys

MACHINES = {"x86": 0x014C, "x64": 0x8664}
MANIFEST_ARCH = {"x86": "x86", "x64": "amd64"}
SUBSYSTEM_WINDOWS_GUI = 2
RESOURCE_TYPES = {"icon": 14, "version": 16, "manifest": 24}  # RT_GROUP_ICON, RT_VERSION, RT_MANIFEST

# DLLs that every Windows since 7 ships in its system folder.
SYSTEM_DLLS = {
    name.lower()
    for name in (
        "KERNEL32.dll USER32.dll GDI32.dll msvcrt.dll ADVAPI32.dll SHELL32.dll "
        "ole32.dll OLEAUT32.dll COMCTL32.dll comdlg32.dll msimg32.dll VERSION.dll "
        "uuid.dll WINMM.dll SHLWAPI.dll UxTheme.dll"
    ).split()
}


class PeError(Exception):
    pass


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe : pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = self.u16(optional)
        if magic not in (0x10B, 0x20B):
            raise PeError(f"unknown optional header magic {magic:#x}")
        self.subsystem = self.u16(optional + 68)
        directories = optional + (96 if magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = optional + optional_size
        self.sections = []
        self.file_data = {}
        for i in range(sections):
            name, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raw))
            self.file_data[name.rstrip(b"\0").decode("ascii", "replace")] = (raw, rsize)

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise PeError(f"address {rva:#x} lies in no section")

    def text_at(self, rva):
        at = self.offset(rva)
        return self.data[at : self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        rva, _ = self.directories[1]
        names = []
        at = self.offset(rva) if rva else None
        while at is not None:
            lookup, _, _, name, thunk = struct.unpack_from("<IIIII", self.data, at)
            if not (lookup or name or thunk):
                break
            names.append(self.text_at(name))
            at += 20
        return names

    def resource_types(self):
        rva, _ = self.directories[2]
        if not rva:
            return {}
        root = self.offset(rva)
        return {kind: root + (entry & 0x7FFFFFFF) for kind, entry in self._entries(root)}

    def _entries(self, directory):
        named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + numbered):
            yield struct.unpack_from("<II", self.data, directory + 16 + 8 * i)

    def first_resource(self, directory):
        """The bytes of the first language of the first name under a type."""
        root = self.offset(self.directories[2][0])
        while True:
            _, entry = next(self._entries(directory))
            if not entry & 0x80000000:
                data_rva, size = struct.unpack_from("<II", self.data, root + entry)
                at = self.offset(data_rva)
                return self.data[at : at + size]
            directory = root + (entry & 0x7FFFFFFF)


def check(path, machine, resources, reserved=None):
    with open(path, "rb") as f:
        image = Image(f.read())
    if image.machine != MACHINES[machine]:
        raise PeError(f"machine {image.machine:#x}, expected {MACHINES[machine]:#x} ({machine})")
    if image.subsystem != SUBSYSTEM_WINDOWS_GUI:
        raise PeError(f"subsystem {image.subsystem}, expected the Windows GUI ({SUBSYSTEM_WINDOWS_GUI})")
    imports = image.imports()
    foreign = [name for name in imports if name.lower() not in SYSTEM_DLLS]
    if foreign:
        raise PeError("imports DLLs that Windows does not ship: " + ", ".join(foreign))
    types = image.resource_types()
    for name in resources:
        if RESOURCE_TYPES[name] not in types:
            raise PeError(f"no {name} resource")
    if "manifest" in resources:
        manifest = image.first_resource(types[RESOURCE_TYPES["manifest"]]).decode("utf-8")
        found = re.search(r'processorArchitecture="([^"]+)"', manifest)
        # "*" is the manifest's own word for any architecture.
        if not found or found.group(1) not in (MANIFEST_ARCH[machine], "*"):
            raise PeError(f"manifest names {found.group(1) if found else 'no'} architecture, "
                          f"expected {MANIFEST_ARCH[machine]}")
    if reserved:
        section, first, last = reserved
        if section not in image.file_data:
            raise PeError(f"no section {section}")
        raw, size = image.file_data[section]
        # Position p is the byte at offset p - 1.
        if not (raw <= first - 1 and last - 1 < raw + size):
            raise PeError(f"positions {first}-{last} are not all in {section} "
                          f"(file offsets {raw}-{raw + size - 1})")
    return imports


def reserved_range(text):
    section, _, span = text.partition(":")
    first, _, last = span.partition("-")
    return section, int(first), int(last)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--machine", choices=MACHINES, required=True)
    parser.add_argument("--resources", default="", help="comma-separated: " + ", ".join(RESOURCE_TYPES))
    parser.add_argument("--reserved", type=reserved_range, help="SECTION:FIRST-LAST")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    resources = [r for r in args.resources.split(",") if r]
    for r in resources:
        if r not in RESOURCE_TYPES:
            parser.error(f"unknown resource {r}")
    for path in args.files:
        try:
            imports = check(path, args.machine, resources, args.reserved)
        except (PeError, OSError, struct.error, ValueError, StopIteration) as e:
            print(f"{path}: {e}", file=sys.stderr)
            return 1
        print(f"{path}: {args.machine} GUI program, imports {', '.join(imports)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
