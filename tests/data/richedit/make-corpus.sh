#!/usr/bin/env bash
# Builds the corpus of RTF written by other programs in foreign/, and the
# expected plain text of every RTF there (ours handcrafted included) as read by
# an independent reader, LibreOffice's text export. Run by hand when the corpus
# changes; the results are committed and the tests only read them.
#   apt-get install -y --no-install-recommends libreoffice-writer-nogui abiword pandoc
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/foreign"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lo() { libreoffice --headless -env:UserInstallation=file://"$work/profile" "$@" >/dev/null 2>&1; }

python3 "$here/make-handcrafted.py"

head='<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 xmlns:dc="http://purl.org/dc/elements/1.1/"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:font-face-decls>
  <style:font-face style:name="Liberation Sans" svg:font-family="&apos;Liberation Sans&apos;"/>
  <style:font-face style:name="Noto Sans CJK JP" svg:font-family="&apos;Noto Sans CJK JP&apos;"/>
 </office:font-face-decls>
 <office:automatic-styles>
  <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
  <style:style style:name="T2" style:family="text"><style:text-properties fo:font-style="italic" fo:color="#c00000"/></style:style>
  <style:style style:name="T3" style:family="text"><style:text-properties style:font-name-asian="Noto Sans CJK JP" style:font-name="Noto Sans CJK JP"/></style:style>
 </office:automatic-styles>'

# Consultation notes in several scripts, with formatting, a table and a link.
cat > "$work/libreoffice-scripts.fodt" <<XML
$head
 <office:body><office:text>
  <text:p>Consultation of 12 March: <text:span text:style-name="T1">headache</text:span> worse in the <text:span text:style-name="T2">morning</text:span>, better with warmth.</text:p>
  <text:p>Ελληνικά: πονοκέφαλος χειρότερα το πρωί.</text:p>
  <text:p>Русский: головная боль хуже утром.</text:p>
  <text:p>עברית: כאב ראש בבוקר.</text:p>
  <text:p>العربية: صداع في الصباح.</text:p>
  <text:p>ไทย: ปวดศีรษะตอนเช้า</text:p>
  <text:p><text:span text:style-name="T3">日本語：朝の頭痛。中文：早上头痛。한국어: 아침 두통.</text:span></text:p>
  <text:p>Čeština, Türkçe, Tiếng Việt, Latviešu, café €5 – “quotes”.</text:p>
  <table:table table:name="Remedies">
   <table:table-column table:number-columns-repeated="3"/>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Remedy</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>Potency</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>Dose</text:p></table:table-cell>
   </table:table-row>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Nux vomica</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>30C</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>twice daily</text:p></table:table-cell>
   </table:table-row>
  </table:table>
  <text:p>See <text:a xlink:type="simple" xlink:href="https://example.org/materia">the materia medica</text:a> for more.</text:p>
  <text:p>Tab<text:tab/>separated and a line<text:line-break/>break.</text:p>
 </office:text></office:body>
</office:document>
XML

# Footnotes, a comment, a header and a footer: LibreOffice's text export leaves
# their text out, which the reader keeps.
cat > "$work/libreoffice-notes.fodt" <<XML
$head
 <office:master-styles>
  <style:master-page style:name="Standard" style:page-layout-name="pm1">
   <style:header><text:p>Practice header</text:p></style:header>
   <style:footer><text:p>Practice footer</text:p></style:footer>
  </style:master-page>
 </office:master-styles>
 <office:body><office:text>
  <text:p>Patient reports<text:note text:id="n1" text:note-class="footnote"><text:note-citation>1</text:note-citation><text:note-body><text:p>Since childhood.</text:p></text:note-body></text:note> thirst.</text:p>
  <text:p>Remedy chosen<office:annotation><dc:creator>Dr Ann</dc:creator><text:p>Check again in May.</text:p></office:annotation> after repertorisation.</text:p>
 </office:text></office:body>
</office:document>
XML

# The same notes as a web page for AbiWord, and as Markdown for pandoc.
cat > "$work/abiword-scripts.html" <<'HTML'
<html><head><meta charset="utf-8"><title>Notes</title></head><body>
<p>Consultation of 12 March: <b>headache</b> worse in the <i>morning</i>, better with warmth.</p>
<p>Ελληνικά: πονοκέφαλος. Русский: головная боль. עברית: כאב ראש. العربية: صداع. ไทย: ปวดศีรษะ</p>
<p>日本語：朝の頭痛。中文：早上头痛。한국어: 아침 두통.</p>
<table><tr><td>Remedy</td><td>Dose</td></tr><tr><td>Arnica</td><td>30C</td></tr></table>
<p>See <a href="https://example.org/materia">the materia medica</a> for more.</p>
<ul><li>first point</li><li>second point</li></ul>
</body></html>
HTML
cat > "$work/pandoc-scripts.md" <<'MD'
Consultation of 12 March: **headache** worse in the *morning*, better with warmth.

Ελληνικά: πονοκέφαλος. Русский: головная боль. עברית: כאב ראש. العربية: صداع. ไทย: ปวดศีรษะ

日本語：朝の頭痛。中文：早上头痛。한국어: 아침 두통. Emoji 🌿.

| Remedy | Dose |
|--------|------|
| Arnica | 30C  |

See [the materia medica](https://example.org/materia) for more.

- first point
- second point
MD

for source in "$work"/libreoffice-*.fodt; do
  lo --convert-to rtf --outdir "$work" "$source"
done
abiword --to=rtf -o "$work/abiword-scripts.rtf" "$work/abiword-scripts.html"
pandoc -s -f markdown -t rtf -o "$work/pandoc-scripts.rtf" "$work/pandoc-scripts.md"
cp "$work"/libreoffice-*.rtf "$work"/abiword-*.rtf "$work"/pandoc-*.rtf "$out/"

# The expected text of every fixture, by LibreOffice.
for rtf in "$out"/*.rtf; do
  lo --convert-to "txt:Text (encoded):UTF8" --outdir "$work" "$rtf"
  cp "$work/$(basename "${rtf%.rtf}").txt" "${rtf%.rtf}.txt"
done

# Where LibreOffice 7.4 reads these files wrongly, its text is corrected here:
# it loses Shift-JIS characters whose trail byte is written as an escaped RTF
# character (\\, \{), shows bytes of character set 1 (the document's code page)
# as U+FFFD, keeps the Symbol font's bytes as private-use characters (also in a
# SYMBOL field), and shows both halves of a \upr group.
python3 - "$out" <<'PY'
import re
import sys
folder = sys.argv[1]
literal = re.escape
corrections = {  # file: [(pattern, replacement)], each pattern found exactly once
    'handcrafted-charsets.txt': [(literal('日\ufffd{語の\ufffd\\示と\ufffd\\告'), '日本語の表示と申告'),
                                 (literal('na\ufffdve'), 'naïve'),
                                 ('[\uf020-\uf0ff]+ \\(Symbol\\)', 'αβγ • → ≤ √ (Symbol)')],
    'handcrafted-shiftjis.txt': [(literal('\ufffd\\示\ufffd\\フト\ufffd\\請アイ'), '表示ソフト申請アイ'),
                                 (literal('日\ufffd{'), '日本')],
    'handcrafted-structures.txt': [('Symbol field a and font [\uf020-\uf0ff]+', 'Symbol field α and font αβγ'),
                                   (literal('ansi halfunicode half'), 'unicode half')],
}
for name, pairs in corrections.items():
    path = folder + '/' + name
    text = open(path, encoding='utf-8-sig').read()
    for pattern, replacement in pairs:
        text, count = re.subn(pattern, replacement, text)
        if count != 1:
            sys.exit('%s: %r not found' % (name, pattern))
    open(path, 'w', encoding='utf-8').write(text)
PY
ls -l "$out"
