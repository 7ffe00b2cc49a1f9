#!/usr/bin/env python3
"""Reads every built manual back with Poppler, a reader independent of the Qt
classes that wrote it, and checks what an operator would see.

For each interface language: the PDF opens; its text, as pdftotext extracts it,
names the window's menus, panes, pages and commands exactly as that language's
file calls them; its lines are flush left, or flush right for Arabic; its fonts
are embedded (Chinese in WenQuanYi, Arabic in Noto); it holds every picture its
source shows; and every page renders with ink on it.

Usage: check_manuals.py HELP_DIR LANG_DIR SOURCE_DIR
"""
import collections
import os
import re
import subprocess
import sys
import tempfile
import unicodedata
import xml.etree.ElementTree as ET

LANGUAGES = ["US", "PL", "RU", "CN", "SK", "IT", "ES", "SA", "FR"]

# The texts of the window a manual must name, as (section, key) of the language file.
NAMED = [("Main_window", k + ".Caption") for k in (
    "mProjekt", "mModel", "mModelOtworz", "mMaterial", "mPlikiWy", "mBudujPlikiWy",
    "mPrzerwijBudowaniePlikowWy", "mOtworzProgram", "mMaszyna", "mSterowanie", "mStart",
    "mStartOdWybranego", "mStop", "mKontynuacja", "mOmaszynie", "mOpcje", "mKonfig", "mPomoc",
    "mPomocSpis", "gbFrezy", "gbOperacje", "gbPlikiWy", "tsModel", "tsPodgladOut",
    "tsMaterial", "tsSimulation", "bSimulate", "lWithinAllowance", "lMaterialLeft", "lGouge")] + [
    ("Material_dialog", "rgZrodlo.Items0"), ("Material_dialog", "rgZrodlo.Items1"),
    ("Material_dialog", "rgZrodlo.Items2"), ("Material_dialog", "lPodkladka.Caption"),
    ("Operations_dialog", "lTyp.Caption"), ("Operations_dialog", "lSzerokosc.Caption"),
    ("Control_panel", "ster.Caption"), ("Control_panel", "GroupBox1.Caption"),
    ("Control_panel", "GroupBox2.Caption"), ("Control_panel", "setbaza.Caption"),
    ("Control_panel", "pomiar.Caption"), ("Control_panel", "obrobkaNaMaszynieWtoku"),
    ("Control_panel", "obrobkaNaMaszynieWstrzymana"),
    ("Tool_lenght_dialog", "pomiar.Caption"),
    ("Tool_lenght_dialog", "gbPomiarPolAutomatyczny.Caption"),
    ("Configuration", "tsKalibracja.Caption"),
]

FONTS = {"CN": "WenQuanYiMicroHei", "SA": "NotoSansArabicUI"}
RIGHT_TO_LEFT = {"SA"}

# Bidirectional controls that pdftotext puts around right-to-left runs, and the
# optional Arabic vowel marks, which the language files write in places and the
# manual's prose leaves out.
IGNORED = dict.fromkeys(
    [0x200E, 0x200F, 0x061C, 0x0670] + list(range(0x202A, 0x202F)) +
    list(range(0x2066, 0x206A)) + list(range(0x064B, 0x0660)))


def normalized(text):
    """Compatibility forms folded (ligatures, Arabic presentation forms), the
    characters above, white space, hyphens and dots dropped: a name may wrap at
    the end of a line, pdftotext joins a word split at a hyphen, and a menu
    item's dots after a left-to-right word in Arabic come out before it."""
    text = unicodedata.normalize("NFKC", text).translate(IGNORED)
    return re.sub(r"[\s\-\u2010.\u2026]+", "", text)


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def named_texts(lang_dir, language):
    root = ET.parse(os.path.join(lang_dir, f"Korvane3D_{language}.xml")).getroot()
    texts = []
    for section, key in NAMED:
        element = root.find(f"{section}/{key}")
        if element is None:
            raise SystemExit(f"{language}: the language file has no {section}/{key}")
        texts.append(element.get("str"))
    return texts


def inked_fraction(pgm_path):
    """The share of a greyscale page image's pixels darker than near-white."""
    with open(pgm_path, "rb") as f:
        data = f.read()
    fields = data.split(maxsplit=4)
    if fields[0] != b"P5":
        raise ValueError(f"{pgm_path} is not a binary PGM")
    width, height = int(fields[1]), int(fields[2])
    pixels = fields[4][: width * height]
    return sum(1 for p in pixels if p < 200) / (width * height)


def flush_shares(pdf):
    """The shares of the text lines that start at the most common left edge and
    that end at the most common right edge: a left-to-right text is flush left,
    a right-to-left one flush right."""
    layout = run("pdftotext", "-bbox-layout", pdf, "-")
    lines = [(float(a), float(b)) for a, b in
             re.findall(r'<line xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)"', layout)]
    if not lines:
        return 0.0, 0.0
    left = collections.Counter(round(a) for a, _ in lines).most_common(1)[0][0]
    right = collections.Counter(round(b) for _, b in lines).most_common(1)[0][0]
    return (sum(1 for a, _ in lines if abs(a - left) < 1.5) / len(lines),
            sum(1 for _, b in lines if abs(b - right) < 1.5) / len(lines))


def check(help_dir, lang_dir, source_dir, language, failures):
    pdf = os.path.join(help_dir, f"Korvane_QTV_manual_{language}.pdf")
    if not os.path.isfile(pdf):
        failures.append(f"{language}: {pdf} is missing")
        return

    pages = int(re.search(r"^Pages:\s+(\d+)", run("pdfinfo", pdf), re.M).group(1))
    if pages < 4:
        failures.append(f"{language}: only {pages} pages")

    # The page numbers alone on their lines may fall inside a wrapped name.
    text = run("pdftotext", "-enc", "UTF-8", pdf, "-")
    text = normalized(re.sub(r"^\s*\d+\s*$", "", text, flags=re.M))
    if "Korvane3D" not in text:
        failures.append(f"{language}: the text does not name Korvane3D")
    for name in named_texts(lang_dir, language):
        if normalized(name) not in text:
            failures.append(f"{language}: the text does not name \"{name}\"")

    left, right = flush_shares(pdf)
    flush, other = (right, left) if language in RIGHT_TO_LEFT else (left, right)
    if flush < 0.5 or other >= flush:
        side = "right" if language in RIGHT_TO_LEFT else "left"
        failures.append(f"{language}: {flush:.0%} of the lines are flush {side}, {other:.0%} "
                        "on the other side")

    fonts = run("pdffonts", pdf).splitlines()[2:]
    if any(line.split()[-5] != "yes" for line in fonts):
        failures.append(f"{language}: a font is not embedded:\n" + "\n".join(fonts))
    if language in FONTS and not any(FONTS[language] in line for line in fonts):
        failures.append(f"{language}: no {FONTS[language]} font")

    with open(os.path.join(source_dir, f"manual_{language}.md"), encoding="utf-8") as f:
        shown = len(re.findall(r"!\[[^\]]*\]\(", f.read()))
    images = [l for l in run("pdfimages", "-list", pdf).splitlines()[2:] if l.split()[2] == "image"]
    if len(images) != shown:
        failures.append(f"{language}: {len(images)} pictures in the PDF, {shown} in the text")

    with tempfile.TemporaryDirectory() as folder:
        run("pdftoppm", "-r", "30", "-gray", pdf, os.path.join(folder, "page"))
        rendered = sorted(f for f in os.listdir(folder) if f.endswith(".pgm"))
        if len(rendered) != pages:
            failures.append(f"{language}: {len(rendered)} of {pages} pages rendered")
        for name in rendered:
            ink = inked_fraction(os.path.join(folder, name))
            if not 0.005 < ink < 0.6:
                failures.append(f"{language}: page {name} has {ink:.1%} ink")


def main():
    help_dir, lang_dir, source_dir = sys.argv[1:4]
    failures = []
    for language in LANGUAGES:
        check(help_dir, lang_dir, source_dir, language, failures)
    for failure in failures:
        print(failure)
    print(f"{len(LANGUAGES)} manuals checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
