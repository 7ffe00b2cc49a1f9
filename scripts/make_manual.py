#!/usr/bin/env python3
"""Turn help/manual_XX.txt into help/Korvane_QTV_manual_XX.pdf.

The text is plain: a line starting with "# " is a heading, an empty line separates
paragraphs, everything else is wrapped to the page. The PDF uses the standard
Helvetica fonts with a Latin-2 capable encoding, so English and Polish texts need no
embedded font.

Usage: scripts/make_manual.py US PL
"""
import sys
import textwrap

# Code points outside Latin-1 mapped to the glyphs of the standard fonts, placed in
# otherwise unused single-byte codes.
EXTRA = {
    "ą": "aogonek", "ć": "cacute", "ę": "eogonek", "ł": "lslash", "ń": "nacute",
    "ś": "sacute", "ź": "zacute", "ż": "zdotaccent", "Ą": "Aogonek", "Ć": "Cacute",
    "Ę": "Eogonek", "Ł": "Lslash", "Ń": "Nacute", "Ś": "Sacute", "Ź": "Zacute",
    "Ż": "Zdotaccent", "–": "endash", "—": "emdash", "’": "quoteright", "…": "ellipsis",
}
CODES = {ch: 0x80 + i for i, ch in enumerate(EXTRA)}


def encode(text):
    out = bytearray()
    for ch in text:
        if ch in CODES:
            out.append(CODES[ch])
        elif ch == "•":
            out.append(0x95)
        elif ord(ch) < 0x80 or 0xA0 <= ord(ch) <= 0xFF:
            out.append(ord(ch))
        else:
            out += b"?"
    return bytes(out).replace(b"\\", b"\\\\").replace(b"(", b"\\(").replace(b")", b"\\)")


def layout(lines):
    """Pages of (font, size, x, y, text) runs."""
    pages, page, y = [], [], 800
    def emit(font, size, text, gap):
        nonlocal page, y
        if y - gap < 60:
            pages.append(page)
            page, y = [], 800
        y -= gap
        page.append((font, size, 56, y, text))
    paragraph = []
    def flush():
        if paragraph:
            for row in textwrap.wrap(" ".join(paragraph), 92):
                emit("F1", 10.5, row, 14)
            paragraph.clear()
            nonlocal y
            y -= 6
    for line in lines:
        line = line.rstrip("\n")
        if line.startswith("# "):
            flush()
            emit("F2", 15 if not pages and not page else 13, line[2:], 26)
        elif line.startswith("- "):
            flush()
            for i, row in enumerate(textwrap.wrap(line[2:], 88)):
                emit("F1", 10.5, ("•  " if i == 0 else "    ") + row, 14)
        elif not line.strip():
            flush()
        else:
            paragraph.append(line.strip())
    flush()
    pages.append(page)
    return pages


def build(lines):
    objects = []
    def add(body):
        objects.append(body)
        return len(objects)
    differences = " ".join(f"{CODES[ch]} /{name}" for ch, name in EXTRA.items())
    enc = add(f"<< /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences [{differences}] >>".encode())
    f1 = add(f"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding {enc} 0 R >>".encode())
    f2 = add(f"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding {enc} 0 R >>".encode())
    pages_id = len(objects) + 1
    objects.append(None)  # the page tree, filled below
    kids = []
    for page in layout(lines):
        stream = b"BT\n" + b"".join(
            f"/{font} {size} Tf 1 0 0 1 {x} {y} Tm (".encode() + encode(text) + b") Tj\n"
            for font, size, x, y, text in page) + b"ET\n"
        content = add(b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"endstream")
        kids.append(add(f"<< /Type /Page /Parent {pages_id} 0 R /MediaBox [0 0 595 842] "
                        f"/Resources << /Font << /F1 {f1} 0 R /F2 {f2} 0 R >> >> "
                        f"/Contents {content} 0 R >>".encode()))
    objects[pages_id - 1] = (f"<< /Type /Pages /Count {len(kids)} /Kids ["
                             + " ".join(f"{k} 0 R" for k in kids) + "] >>").encode()
    catalog = add(f"<< /Type /Catalog /Pages {pages_id} 0 R >>".encode())
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for i, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += f"{i} 0 obj\n".encode() + body + b"\nendobj\n"
    xref = len(out)
    out += f"xref\n0 {len(objects) + 1}\n0000000000 65535 f \n".encode()
    out += b"".join(f"{o:010d} 00000 n \n".encode() for o in offsets)
    out += f"trailer\n<< /Size {len(objects) + 1} /Root {catalog} 0 R >>\nstartxref\n{xref}\n%%EOF\n".encode()
    return bytes(out)


for code in sys.argv[1:]:
    with open(f"help/manual_{code}.txt", encoding="utf-8") as f:
        pdf = build(f.readlines())
    with open(f"help/Korvane_QTV_manual_{code}.pdf", "wb") as f:
        f.write(pdf)
