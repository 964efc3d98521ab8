#!/usr/bin/env python3
"""Static checks of the shipped files, from objdump's view of them: 32-bit GUI programs without
MinGW run-time DLLs, Delete.dll's exports and imports, the Installer's payload resource and its
entries in order, Uninstall.exe's copy of Delete.dll. Prints the sizes as figures.

usage: check_shipped.py OBJDUMP BIN_DIR PAYLOAD_ZIP
"""
import io
import os
import re
import subprocess
import sys
import zipfile

TOLLAN_BUDGET = 466944

# The payload's order is the builder's own (installer/make_payload.py).
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "installer"))
import make_payload  # noqa: E402

PAYLOAD_ORDER = make_payload.FOLDERS + make_payload.FILES
RUNTIME_DLLS = re.compile(r"^(libgcc|libstdc\+\+|libwinpthread|libssp|libatomic|libgomp|mingwm)", re.I)
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


class Pe:
    def __init__(self, objdump, path):
        self.path = path
        self.name = os.path.basename(path)
        self.bytes = open(path, "rb").read()
        self.text = subprocess.run([objdump, "-p", "-h", path], check=True, capture_output=True, text=True).stdout
        self.imports = re.findall(r"DLL Name: (\S+)", self.text)
        self.sections = []
        for m in re.finditer(r"^\s*\d+\s+(\S+)\s+([0-9a-f]{8})\s+([0-9a-f]{8})\s+[0-9a-f]{8}\s+([0-9a-f]{8})",
                             self.text, re.M):
            self.sections.append((m.group(1), int(m.group(2), 16), int(m.group(3), 16), int(m.group(4), 16)))
        base = re.search(r"^ImageBase\s+([0-9a-f]+)", self.text, re.M)
        self.image_base = int(base.group(1), 16) if base else 0

    def field(self, name):
        m = re.search(r"^%s\s+(\S+)" % re.escape(name), self.text, re.M)
        return m.group(1) if m else None

    def exports(self):
        block = self.text.split("[Ordinal/Name Pointer] Table", 1)
        return re.findall(r"^\s*\[\s*\d+\]\s+(\S+)", block[1], re.M) if len(block) > 1 else []

    def resource(self, type_name, res_id, lang):
        """Bytes of one resource, found through objdump's listing of the resource tree."""
        lines = self.text.split("The .rsrc Resource Directory section:", 1)
        if len(lines) < 2:
            return None
        # Each line starts with its offset; the blanks after it give the tree level: an entry of
        # a type (3), of a name or number (5), of a language (7), then the leaf (8).
        path = {}
        for line in lines[1].splitlines():
            m = re.match(r"^[0-9a-f]+( +)(.*)$", line)
            if not m:
                continue
            level, rest = len(m.group(1)), m.group(2)
            entry = re.match(r"Entry: (?:name: \[.*\]: (\S+)|ID: 0x([0-9a-f]+)), Value", rest)
            if entry:
                path[level] = entry.group(1) or int(entry.group(2), 16)
                continue
            leaf = re.match(r"Leaf: Addr: 0x([0-9a-f]+), Size: 0x([0-9a-f]+)", rest)
            if leaf and (path.get(3), path.get(5), path.get(7)) == (type_name, res_id, lang):
                return self.read_rva(int(leaf.group(1), 16), int(leaf.group(2), 16))
        return None

    def read_rva(self, rva, size):
        for _, vma_size, vma, offset in self.sections:
            start = vma - self.image_base
            if start <= rva < start + vma_size:
                at = offset + rva - start
                return self.bytes[at:at + size]
        return None


def main(objdump, bin_dir, payload_path):
    files = {n: Pe(objdump, os.path.join(bin_dir, n))
             for n in ["Tollan.exe", "Installer.exe", "Updater.exe", "Uninstall.exe", "Delete.dll"]}
    for name, pe in files.items():
        check("file format pei-i386" in pe.text, "%s is not a 32-bit i386 image" % name)
        check(pe.field("Magic") == "010b", "%s is not PE32" % name)
        runtime = [d for d in pe.imports if RUNTIME_DLLS.match(d)]
        check(not runtime, "%s imports MinGW run-time DLLs: %s" % (name, runtime))
        if name.endswith(".exe"):
            check(pe.field("Subsystem") == "00000002", "%s is not a GUI program" % name)
        print("figure: %s is %d bytes" % (name, len(pe.bytes)))
    # The size of the original program: the utility must never outgrow it.
    check(len(files["Tollan.exe"].bytes) <= TOLLAN_BUDGET,
          "Tollan.exe is %d bytes, over its budget of %d" % (len(files["Tollan.exe"].bytes), TOLLAN_BUDGET))

    delete = files["Delete.dll"]
    check(sorted(delete.exports()) == ["MagicDel", "_MagicDel@16"], "Delete.dll exports %s" % delete.exports())
    check([d.upper() for d in delete.imports] == ["KERNEL32.DLL"], "Delete.dll imports %s" % delete.imports)
    carried = files["Uninstall.exe"].resource(10, 141, 0x409)  # RT_RCDATA
    check(carried == delete.bytes, "Uninstall.exe does not carry the built Delete.dll")

    installer = files["Installer.exe"]
    manifest = installer.resource(24, 1, 0x409) or b""
    for needle in (b'level="requireAdministrator"', b"Microsoft.Windows.Common-Controls", b'version="6.0.0.0"',
                   b"supportedOS"):
        check(needle in manifest, "Installer.exe's manifest lacks %s" % needle.decode())
    payload = installer.resource("ZIP", 140, 0x409)
    check(payload is not None, "Installer.exe has no ZIP resource 140 in US English")
    if payload is None:
        return
    check(payload == open(payload_path, "rb").read(), "the ZIP resource is not the built payload")
    archive = zipfile.ZipFile(io.BytesIO(payload))
    names = [i.filename for i in archive.infolist()]
    check(names == PAYLOAD_ORDER, "payload entries in this order: %s" % names)
    for info in archive.infolist():
        if not info.filename.endswith("/"):
            check(info.compress_type == zipfile.ZIP_DEFLATED and not info.flag_bits & 1,
                  "%s is not deflated or is encrypted" % info.filename)
    for name in ["Tollan.exe", "Updater.exe", "Uninstall.exe"]:
        check(archive.read("DedicatedServerUtility/" + name) == files[name].bytes,
              "the payload's %s is not the one built" % name)
    print("figure: the payload is %d bytes (508,492 in the original); unpacked %d bytes"
          % (len(payload), sum(i.file_size for i in archive.infolist())))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
    print("FAILED: %d check(s)" % len(failures) if failures else "PASS: shipped files")
    sys.exit(1 if failures else 0)
