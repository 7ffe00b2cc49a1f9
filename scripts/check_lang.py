#!/usr/bin/env python3
"""Check the language files in lang/ against each other and against lang/keys.txt.

Every file must parse, carry the root <interface name="Korvane3D" version="major.minor">,
hold the same sections and keys as the US file (each text with a "str" attribute), keep the
leading and trailing blanks of the US texts (the program glues texts to numbers and names),
have the eight operation types 0..7 with the same "parametr" switches as the US file, and
exactly three units with "str" and "opis". Every "Section/key" line of lang/keys.txt must be
present in every file.

Usage: scripts/check_lang.py [lang-folder]
Prints one line per problem and exits with 1 when there is any.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

LANGS = ["US", "PL", "RU", "CN", "SK", "IT", "ES", "SA", "FR"]
TITLE = "Korvane3D"
TABLES = ("Operations", "Measures")


def program_version(root_dir):
    """major.minor of the project version in CMakeLists.txt, or None when not found."""
    try:
        with open(os.path.join(root_dir, "CMakeLists.txt"), encoding="utf-8") as f:
            m = re.search(r"project\s*\(\s*\w+\s+VERSION\s+(\d+)\.(\d+)", f.read())
    except OSError:
        return None
    return f"{m.group(1)}.{m.group(2)}" if m else None


def edge_blanks(text):
    lead = len(text) - len(text.lstrip(" "))
    trail = len(text) - len(text.rstrip(" "))
    return lead, trail


def load(path, problems):
    """Returns {section: {key: element}} and the root, or (None, None) when unusable."""
    name = os.path.basename(path)
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        problems.append(f"{name}: cannot be read: {e}")
        return None, None
    sections = {}
    for sec in root:
        if sec.tag in sections:
            problems.append(f"{name}: section {sec.tag} appears twice")
            continue
        keys = {}
        for el in sec:
            if sec.tag not in TABLES:
                if el.tag in keys:
                    problems.append(f"{name}: {sec.tag}/{el.tag} appears twice")
                if el.get("str") is None:
                    problems.append(f"{name}: {sec.tag}/{el.tag} has no str attribute")
            keys.setdefault(el.tag, el)
        sections[sec.tag] = keys
    return sections, root


def check_root(name, root, version, problems):
    if root.tag != "interface":
        problems.append(f"{name}: root element is <{root.tag}>, not <interface>")
    if (root.get("name") or "").lower() != TITLE.lower():
        problems.append(f"{name}: root attribute name is {root.get('name')!r}, not {TITLE!r}")
    v = root.get("version")
    if v is None or not re.fullmatch(r"\d+\.\d+", v):
        problems.append(f"{name}: root attribute version {v!r} is not major.minor")
    elif version and v != version:
        problems.append(f"{name}: version {v} differs from the program's {version}")


def check_tables(name, root, us_params, problems):
    ops = root.find("Operations")
    if ops is None:
        problems.append(f"{name}: section Operations is missing")
    else:
        rows = list(ops)
        ids = [r.get("id") for r in rows]
        if ids != [str(i) for i in range(8)]:
            problems.append(f"{name}: Operations ids are {ids}, expected 0..7 in order")
        for r in rows:
            if not (r.get("str") or "").strip():
                problems.append(f"{name}: Operations id {r.get('id')} has no display name")
            if r.get("parametr") is None:
                problems.append(f"{name}: Operations id {r.get('id')} has no parametr attribute")
        params = [r.get("parametr") for r in rows]
        if us_params is not None and params != us_params:
            problems.append(f"{name}: Operations parametr {params} differ from the US file {us_params}")
    units = root.find("Measures")
    if units is None:
        problems.append(f"{name}: section Measures is missing")
    else:
        rows = list(units)
        if len(rows) != 3:
            problems.append(f"{name}: Measures has {len(rows)} rows, expected 3")
        for r in rows:
            for attr in ("str", "opis"):
                if not (r.get(attr) or "").strip():
                    problems.append(f"{name}: Measures/{r.tag} has no {attr}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root_dir = os.path.dirname(here)
    lang_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root_dir, "lang")
    version = program_version(root_dir)
    problems = []

    files = {}
    roots = {}
    for lang in LANGS:
        path = os.path.join(lang_dir, f"{TITLE}_{lang}.xml")
        secs, root = load(path, problems)
        if secs is not None:
            files[lang], roots[lang] = secs, root

    if "US" not in files:
        problems.append("the US file is missing or unreadable; nothing to compare with")
    else:
        us = files["US"]
        us_ops = roots["US"].find("Operations")
        us_params = [r.get("parametr") for r in us_ops] if us_ops is not None else None
        for lang, secs in files.items():
            name = f"{TITLE}_{lang}.xml"
            check_root(name, roots[lang], version, problems)
            check_tables(name, roots[lang], us_params, problems)
            for sec in sorted(set(us) - set(secs)):
                problems.append(f"{name}: section {sec} is missing")
            for sec in sorted(set(secs) - set(us)):
                problems.append(f"{name}: section {sec} is not in the US file")
            for sec in sorted(set(us) & set(secs)):
                if sec in TABLES:
                    continue
                for key in sorted(set(us[sec]) - set(secs[sec])):
                    problems.append(f"{name}: {sec}/{key} is missing")
                for key in sorted(set(secs[sec]) - set(us[sec])):
                    problems.append(f"{name}: {sec}/{key} is not in the US file")
                for key in sorted(set(us[sec]) & set(secs[sec])):
                    text = secs[sec][key].get("str")
                    ref = us[sec][key].get("str")
                    if text is None or ref is None:
                        continue
                    if ref.strip() and not text.strip():
                        problems.append(f"{name}: {sec}/{key} is empty")
                    if edge_blanks(text) != edge_blanks(ref):
                        problems.append(f"{name}: {sec}/{key} does not keep the leading/trailing "
                                        f"blanks of the US text {ref!r}: {text!r}")

        keys_path = os.path.join(lang_dir, "keys.txt")
        try:
            with open(keys_path, encoding="utf-8") as f:
                listed = [line.strip() for line in f if line.strip()]
        except OSError:
            listed = []
            problems.append("lang/keys.txt is missing")
        if listed != sorted(listed):
            problems.append("lang/keys.txt is not sorted")
        for item in listed:
            sec, _, key = item.partition("/")
            for lang, secs in files.items():
                if sec not in secs or key not in secs[sec]:
                    problems.append(f"{TITLE}_{lang}.xml: {item} (listed in keys.txt) is missing")

    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} problem(s)")
        return 1
    print(f"language files OK: {len(files)} files, "
          f"{sum(len(v) for k, v in files.get('US', {}).items() if k not in TABLES)} texts each")
    return 0


if __name__ == "__main__":
    sys.exit(main())
