#!/usr/bin/env python3
"""Add texts to all nine language files in lang/.

Usage: scripts/add_lang_keys.py TEXTS.json
TEXTS.json: {"Section": {"key": {"US": "...", "PL": "...", "RU": "...", "CN": "...",
"SK": "...", "IT": "...", "ES": "...", "SA": "...", "FR": "..."}}}
Every language must be given. A key that already exists in a file is replaced; a new
one goes at the end of its section (a missing section is created before the tables).
Run scripts/check_lang.py afterwards.
"""
import json
import re
import sys
from xml.sax.saxutils import quoteattr

LANGS = ["US", "PL", "RU", "CN", "SK", "IT", "ES", "SA", "FR"]


def attr(text):
    return quoteattr(text).replace("\r", "&#13;").replace("\n", "&#10;")


def main():
    texts = json.load(open(sys.argv[1], encoding="utf-8"))
    for lang in LANGS:
        path = f"lang/Korvane3D_{lang}.xml"
        doc = open(path, encoding="utf-8").read()
        for section, keys in texts.items():
            if f"<{section}>" not in doc:
                doc = doc.replace("  <Operations>", f"  <{section}>\n  </{section}>\n  <Operations>", 1)
            for key, by_lang in keys.items():
                if lang not in by_lang:
                    sys.exit(f"{section}/{key}: no {lang} text")
                line = f"    <{key} str={attr(by_lang[lang])}/>"
                start = doc.index(f"<{section}>")
                end = doc.index(f"</{section}>", start)
                body = doc[start:end]
                existing = re.search(rf"\n    <{re.escape(key)} str=(\"[^\"]*\"|'[^']*')/>", body)
                if existing:
                    body = body[:existing.start()] + "\n" + line + body[existing.end():]
                    doc = doc[:start] + body + doc[end:]
                else:
                    doc = doc[:end].rstrip(" ") + line + "\n  " + doc[end:]
        open(path, "w", encoding="utf-8").write(doc)


if __name__ == "__main__":
    main()
