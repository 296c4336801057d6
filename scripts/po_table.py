#!/usr/bin/env python3
"""Writes a gettext catalogue's translations as C++ initialisers, {"msgid", "msgstr"}, one per line, for
korvel-cli to compile in (a static .exe needs no locale folder beside it, and Debian's mingw-w64 has no
libintl). Entries without a translation, fuzzy ones and the header are left out.

usage: po_table.py CATALOGUE.po OUT.inc"""
import os
import sys


def entries(path):
    """(msgid, msgstr, fuzzy) of each entry; entries are separated by blank lines."""
    for block in open(path, encoding="utf-8").read().split("\n\n"):
        fields, field, fuzzy = {}, None, False
        for line in block.splitlines():
            line = line.strip()
            if line.startswith("#,") and "fuzzy" in line:
                fuzzy = True
            elif line.startswith(("msgid ", "msgstr ")):
                field, _, rest = line.partition(" ")
                fields[field] = unquote(rest)
            elif line.startswith('"') and field:
                fields[field] += unquote(line)
        if "msgid" in fields:
            yield fields["msgid"], fields.get("msgstr", ""), fuzzy


def unquote(text):
    body = text[1:-1]
    out, i = [], 0
    while i < len(body):
        if body[i] == "\\":
            out.append({"n": "\n", "t": "\t", '"': '"', "\\": "\\"}[body[i + 1]])
            i += 2
        else:
            out.append(body[i])
            i += 1
    return "".join(out)


def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n").replace("\t", "\\t") + '"'


def main():
    source, target = sys.argv[1:3]
    lines = [f"{{{quote(msgid)}, {quote(msgstr)}}}," for msgid, msgstr, fuzzy in entries(source)
             if msgid and msgstr and not fuzzy]
    os.makedirs(os.path.dirname(target) or ".", exist_ok=True)
    with open(target, "w", encoding="utf-8") as out:
        out.write("// Generated from " + source.split("/")[-1] + " by po_table.py; edit the catalogue, not this.\n")
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
