#!/usr/bin/env python3
"""Fills translations/*.ts from the dictionaries in translations/texts.py.

Run after lupdate has added new texts:
    /usr/lib/qt6/bin/lupdate app ui canvas files view recovery -locations none -no-obsolete -ts translations/ombrik_de.ts translations/ombrik_fr.ts
    python3 translations/fill.py
Texts without an entry stay unfinished (shown in English) and are listed. An
entry "Context|Source" overrides the plain one in that context.
"""
import html
import os
import re
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
from texts import TEXTS  # noqa: E402

missing = set()
for column, lang in ((0, 'de'), (1, 'fr')):
    path = os.path.join(here, f'ombrik_{lang}.ts')
    ts = open(path, encoding='utf-8').read()

    # The context each message belongs to, so that "Context|Source" entries
    # can give one text a different translation in one place.
    contexts = [(c.start(), html.unescape(c.group(1))) for c in re.finditer(r'<name>(.*?)</name>', ts)]

    def fill(m):
        source = html.unescape(m.group(1))
        context = next((name for start, name in reversed(contexts) if start < m.start()), '')
        entry = TEXTS.get(context + '|' + source, TEXTS.get(source))
        if entry is None:
            missing.add(source)
            return m.group(0)
        text = html.escape(entry[column], quote=False).replace("'", '&apos;').replace('"', '&quot;')
        return f'<source>{m.group(1)}</source>\n        <translation>{text}</translation>'

    ts = re.sub(r'<source>(.*?)</source>\s*<translation[^>]*>.*?</translation>', fill, ts, flags=re.S)
    ts = re.sub(r'<TS version="([^"]*)" language="[^"]*"', rf'<TS version="\1" language="{lang}"', ts)
    open(path, 'w', encoding='utf-8').write(ts)
for s in sorted(missing):
    print('untranslated:', repr(s))
