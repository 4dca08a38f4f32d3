#!/usr/bin/env python3
"""Generates everything that lists the exports from the one export index.

Outputs: the i686 and x86_64 .def files, the caller header deploykit.h, dkcall's table,
the export check's name list, and the README's declaration section."""
import argparse
import sys
from dataclasses import dataclass

C_TYPES = {"text": "const char*", "wtext": "char*", "int": "int", "counter": "int*", "record": "void*"}
INNO_TYPES = {"text": "AnsiString", "wtext": "AnsiString", "int": "Integer", "counter": "Integer", "record": "Integer"}
FIELDS = {"text": "text", "wtext": "wtext", "int": "integer", "counter": "counter", "record": "record"}
NSIS_TYPES = {"text": "m", "wtext": "m", "int": "i", "counter": "*i", "record": "p"}


@dataclass
class Arg:
    type: str
    label: str


@dataclass
class Export:
    name: str
    family: str
    convention: str
    result: str
    args: list
    built: bool

    @property
    def call(self):
        return "__stdcall" if self.convention == "stdcall" else "__cdecl"

    @property
    def c_result(self):
        return "int" if self.result == "int" else "char*"

    def params(self, named=True):
        if not self.args:
            return "void"
        out = []
        for i, a in enumerate(self.args):
            name = "".join(ch if ch.isalnum() else "_" for ch in a.label).strip("_") or f"arg{i}"
            out.append(f"{C_TYPES[a.type]} {name}" if named else C_TYPES[a.type])
        return ", ".join(out)


def load(path):
    exports = []
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cols = line.split("\t")
            if len(cols) != 6:
                sys.exit(f"{path}:{n}: expected 6 tab-separated columns, got {len(cols)}")
            name, family, conv, result, args, state = cols
            if conv not in ("cdecl", "stdcall") or result not in ("int", "text") or state not in ("built", "planned"):
                sys.exit(f"{path}:{n}: bad convention, result or state")
            parsed = []
            if args != "-":
                for a in args.split(";"):
                    t, _, label = a.partition(":")
                    if t not in C_TYPES:
                        sys.exit(f"{path}:{n}: unknown argument type {t}")
                    parsed.append(Arg(t, label))
            exports.append(Export(name, family, conv, result, parsed, state == "built"))
    names = [e.name for e in exports]
    if len(set(names)) != len(names):
        sys.exit(f"{path}: duplicate export names")
    return exports


def gen_def(exports, arch):
    lines = ["LIBRARY deploykit.dll", "EXPORTS"]
    for e in exports:
        if arch == "i686" and e.convention == "stdcall":
            lines.append(f"  {e.name}={e.name}@{4 * len(e.args)}")
        else:
            lines.append(f"  {e.name}")
    return "\n".join(lines) + "\n"


def gen_header(exports):
    out = [
        "/* deploykit.dll: declarations for callers. Generated from the export index; do not edit. */",
        "#ifndef DEPLOYKIT_H",
        "#define DEPLOYKIT_H",
        "",
        "#ifdef __cplusplus",
        "#define DK_NOEXCEPT noexcept",
        'extern "C" {',
        "#else",
        "#define DK_NOEXCEPT",
        "#endif",
        "",
        "#ifdef DEPLOYKIT_BUILDING",
        "#define DK_API",
        "#else",
        "#define DK_API __declspec(dllimport)",
        "#endif",
        "",
        "/* Text results are allocated with the C runtime's malloc (msvcrt) or are constant texts",
        "   inside the library; see the README for which is which. */",
        "",
    ]
    family = None
    for e in exports:
        if e.family != family:
            family = e.family
            out.append(f"/* {family} */")
        out.append(f"DK_API {e.c_result} {e.call} {e.name}({e.params()}) DK_NOEXCEPT;")
    out += ["", "/* Pointer types for GetProcAddress. */"]
    for e in exports:
        out.append(f"typedef {e.c_result}({e.call}* DK_PFN_{e.name})({e.params(False)});")
    out += ["", "#ifdef __cplusplus", "}", "#endif", "", "#endif", ""]
    return "\n".join(out)


def gen_dkcall(exports):
    out = ["// dkcall's table. Generated from the export index; do not edit.", ""]
    for e in exports:
        params = e.params(False)
        fn_type = f"{e.c_result}({e.call}*)({params})"
        argv = ", ".join(f"a[{i}].{FIELDS[a.type]}" for i, a in enumerate(e.args))
        value = "Value::of_int" if e.result == "int" else "Value::of_text"
        out.append(
            f"static Value call_{e.name}(FARPROC fn, Arg* a) {{ (void)a; "
            f"return {value}(reinterpret_cast<{fn_type}>(reinterpret_cast<void*>(fn))({argv})); }}"
        )
    out += ["", "static const ExportEntry kExports[] = {"]
    for e in exports:
        types = ", ".join(f"ArgType::{FIELDS[a.type]}" for a in e.args)
        labels = ", ".join('"' + a.label + '"' for a in e.args)
        out.append(
            f'    {{"{e.name}", "{e.family}", "{e.convention}", "{e.result}", {len(e.args)}, '
            f"{{{types}}}, {{{labels}}}, &call_{e.name}}},"
        )
    out += ["};", ""]
    return "\n".join(out)


def inno_line(e):
    params = "; ".join(
        f"{'var ' if a.type == 'counter' else ''}{''.join(w.capitalize() for w in a.label.replace('-', ' ').split())}{i}: {INNO_TYPES[a.type]}"
        for i, a in enumerate(e.args)
    )
    kind = "function"
    ret = "Integer" if e.result == "int" else "PAnsiChar"
    return f"{kind} {e.name}({params}): {ret}; external '{e.name}@files:deploykit.dll {e.convention}';"


def nsis_line(e):
    # Inputs come from $0.. ($R0.. past nine); the counter is read and written back; result in $9.
    def reg(i):
        return f"r{i}" if i < 9 else f"R{i - 9}"
    params = ",".join(
        f"*i {reg(i)}{reg(i)}" if a.type == "counter" else f"{NSIS_TYPES[a.type]} {reg(i)}" for i, a in enumerate(e.args)
    )
    ret = "i" if e.result == "int" else "m"
    conv = " ?c" if e.convention == "cdecl" else ""
    return f"System::Call 'deploykit::{e.name}({params}) {ret} .r9{conv}'"


def gen_readme(exports):
    out = ["<!-- exports:begin (generated from src/frame/exports.tsv by tools/gen_exports.py; do not edit) -->", ""]
    out.append("| Export | Family | Convention | Arguments | Result |")
    out.append("|---|---|---|---|---|")
    for e in exports:
        args = ", ".join(f"{a.label} ({a.type})" for a in e.args) or "none"
        out.append(f"| `{e.name}` | {e.family} | {e.convention} | {args} | {e.result} |")
    out += ["", "Inno Setup:", "", "```pascal"]
    out += [inno_line(e) for e in exports]
    out += ["```", "", "NSIS (`System` plug-in; arguments from $0, $1, ..., the result in $9; `?c` marks the C calling convention):", "", "```nsis"]
    out += [nsis_line(e) for e in exports]
    out += ["```", "", "<!-- exports:end -->"]
    return "\n".join(out)


def splice_readme(readme_text, section):
    begin = readme_text.find("<!-- exports:begin")
    end = readme_text.find("<!-- exports:end -->")
    if begin < 0 or end < 0:
        sys.exit("README has no exports:begin/exports:end markers")
    return readme_text[:begin] + section + readme_text[end + len("<!-- exports:end -->"):]


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("index")
    p.add_argument("--def-i686")
    p.add_argument("--def-x86_64")
    p.add_argument("--header")
    p.add_argument("--dkcall")
    p.add_argument("--names")
    p.add_argument("--readme", help="rewrite the README's export section in place")
    p.add_argument("--check-readme", help="fail when the README's export section is out of date")
    p.add_argument("--all", action="store_true", help="include planned exports too")
    o = p.parse_args()
    exports = [e for e in load(o.index) if e.built or o.all]
    if o.def_i686:
        write_if_changed(o.def_i686, gen_def(exports, "i686"))
    if o.def_x86_64:
        write_if_changed(o.def_x86_64, gen_def(exports, "x86_64"))
    if o.header:
        write_if_changed(o.header, gen_header(exports))
    if o.dkcall:
        write_if_changed(o.dkcall, gen_dkcall(exports))
    if o.names:
        write_if_changed(o.names, "".join(f"{e.name}\n" for e in exports))
    for path, check in ((o.readme, False), (o.check_readme, True)):
        if not path:
            continue
        with open(path, encoding="utf-8") as f:
            text = f.read()
        new = splice_readme(text, gen_readme(exports))
        if check:
            if new != text:
                sys.exit(f"{path}: the export section is out of date; run tools/gen_exports.py --readme {path}")
        else:
            write_if_changed(path, new)


if __name__ == "__main__":
    main()
