#!/usr/bin/env python3
"""Checks a built deploykit.dll against the export index with objdump -p: the module name, every
export exactly as named and nothing else (nothing decorated), and imports of Windows system DLLs
only; the build without the metabase client imports no directory-services DLL."""
import argparse
import re
import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "msvcrt.dll", "advapi32.dll", "ws2_32.dll", "wsock32.dll", "ole32.dll",
    "oleaut32.dll", "shlwapi.dll", "user32.dll", "odbccp32.dll", "activeds.dll", "shell32.dll",
    "version.dll", "rpcrt4.dll",
}


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--objdump", required=True)
    p.add_argument("--names", required=True, help="the built exports, one a line")
    p.add_argument("--variant", choices=["full", "nometabase"], required=True)
    p.add_argument("dll")
    o = p.parse_args()
    text = subprocess.run([o.objdump, "-p", o.dll], check=True, capture_output=True, text=True).stdout
    want = [line.strip() for line in open(o.names, encoding="utf-8") if line.strip()]
    problems = []

    m = re.search(r"^Name\s+[0-9a-fA-F]+\s+(\S+)$", text, re.M)
    if not m or m.group(1) != "deploykit.dll":
        problems.append(f"module name is {m.group(1) if m else 'missing'}, not deploykit.dll")

    table = text.split("[Ordinal/Name Pointer] Table", 1)
    exported = re.findall(r"^\s+\[\s*\d+\]\s+(\S+)$", table[1].split("\n\n", 1)[0], re.M) if len(table) > 1 else []
    for name in want:
        if name not in exported:
            problems.append(f"export {name} is missing")
    for name in exported:
        if name not in want:
            problems.append(f"unexpected export {name}")
        if "@" in name or name.startswith("_"):
            problems.append(f"decorated export {name}")

    imports = [d.lower() for d in re.findall(r"DLL Name: (\S+)", text)]
    for dll in imports:
        if dll not in SYSTEM_DLLS:
            problems.append(f"imports {dll}, which is not a Windows system DLL")
    if o.variant == "nometabase" and "activeds.dll" in imports:
        problems.append("the build without the metabase client imports activeds.dll")

    if problems:
        print(f"{o.dll}:\n  " + "\n  ".join(problems))
        sys.exit(1)
    print(f"{o.dll}: {len(exported)} exports as indexed; imports {', '.join(sorted(set(imports)))}")


if __name__ == "__main__":
    main()
