#!/usr/bin/env python3
"""Writes the handcrafted RTF fixtures in foreign/: text in every font
character set as \\'hh escapes (double-byte text with trail bytes that are
plain ASCII or escaped RTF characters), and the constructs word processors use
around text. Run by hand when they change; the results are committed, and
make-corpus.sh reads them with LibreOffice for the expected text."""
import os

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'foreign')


def escape(data):
    """Bytes as RTF text: ASCII as it is, the rest as \\'hh."""
    out = ''
    for byte in data:
        if byte < 0x80:
            ch = chr(byte)
            out += '\\' + ch if ch in '\\{}' else ch
        else:
            out += "\\'%02x" % byte
    return out


def escape_double_byte(data, is_lead):
    """Double-byte text: the trail byte plain when it is printable ASCII."""
    out = ''
    i = 0
    while i < len(data):
        byte = data[i]
        if is_lead(byte) and i + 1 < len(data):
            trail = data[i + 1]
            out += "\\'%02x" % byte
            if trail == 0x5C:
                out += '\\\\'
            elif trail in (0x7B, 0x7D):
                out += '\\' + chr(trail)
            elif 0x40 <= trail < 0x7F:
                out += chr(trail)
            else:
                out += "\\'%02x" % trail
            i += 2
        else:
            out += escape(data[i:i + 1])
            i += 1
    return out


def write(name, text):
    with open(os.path.join(here, name), 'w', encoding='ascii', newline='\r\n') as f:
        f.write(text)


def charsets():
    fonts = [(0, 0, 'Arial', None), (1, 128, 'MS Mincho', 'cp932'), (2, 129, 'Gulim', 'cp949'),
             (3, 134, 'SimSun', 'gbk'), (4, 136, 'PMingLiU', 'big5'), (5, 161, 'Arial Greek', 'cp1253'),
             (6, 162, 'Arial Tur', 'cp1254'), (7, 163, 'Arial Vietnamese', 'cp1258'),
             (8, 177, 'Arial Hebrew', 'cp1255'), (9, 178, 'Arial Arabic', 'cp1256'),
             (10, 186, 'Arial Baltic', 'cp1257'), (11, 204, 'Arial Cyr', 'cp1251'),
             (12, 222, 'Tahoma Thai', 'cp874'), (13, 238, 'Arial CE', 'cp1250'), (14, 255, 'Terminal', 'cp437'),
             (15, 77, 'Times Mac', 'mac_roman'), (16, 2, 'Symbol', None), (17, 130, 'Johab Font', None),
             (18, 1, 'Default Set', None), (19, 0, 'Code Page Font', None)]
    samples = {1: '日本語の表示と申告', 2: '한국어 텍스트', 3: '简体中文文本', 4: '繁體中文文本',
               5: 'Ελληνικό κείμενο', 6: 'Türkçe metin ğış', 7: 'Tiê\u0301ng Viê\u0323t', 8: 'טקסט בעברית',
               9: 'نص عربي', 10: 'Lietuvių tekstas', 11: 'Русский текст', 12: 'ข้อความภาษาไทย',
               13: 'Český text žluťoučký', 14: 'Box ─┼─ ░▒▓', 15: 'Mac Roman café'}
    table = ''.join('{\\f%d\\fnil\\fcharset%d%s %s;}' % (i, charset, '\\cpg1251' if i == 19 else '', name)
                    for i, charset, name, _ in fonts)
    body = "\\pard\\f0 Western \\'a9 2024 caf\\'e9\\par\n"
    for i, charset, _, codec in fonts:
        if i in samples:
            body += '\\pard\\f%d %s\\f0  (charset %d)\\par\n' % (i, escape(samples[i].encode(codec)), charset)
    body += "\\pard\\f16 abg \\'b7 \\'ae \\'a3 \\'d6\\f0  (Symbol)\\par\n"
    body += "\\pard\\f17 \\'d0\\'65\\'8b\\'69\\f0  (Johab)\\par\n"  # Hangul in Johab
    body += "\\pard\\f18 na\\'efve\\f0  (default set)\\par\n"
    body += "\\pard\\f19 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\f0  (cpg)\\par\n"
    write('handcrafted-charsets.rtf', '{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl' + table + '}\n' + body + '}\n')


def big5_document():
    big5 = escape('中文的筆記'.encode('big5'))
    write('handcrafted-cp950.rtf',
          '{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}'
          '{\\f1\\fnil\\fcharset136 PMingLiU;}{\\f2\\fnil PMingLiU;}}\n'
          "\\pard\\f0 Copyright \\'a9 and \\'e9t\\'e9\\par\n"
          '\\pard\\f1 ' + big5 + '\\par\n'
          '\\pard\\f2 ' + big5 + ' in the document\\rquote s code page\\par\n'
          "\\pard\\f1\\uc2\\u20013\\'a4\\'a4\\u25991\\'a4\\'e5 Unicode with double-byte fallbacks"
          '\\uc1\\u21313 ? done\\par\n}\n')


def shift_jis():
    def lead(byte):
        return 0x81 <= byte <= 0x9F or 0xE0 <= byte <= 0xFC
    text = escape_double_byte('表示ソフト申請アイ'.encode('cp932'), lead)
    write('handcrafted-shiftjis.rtf',
          "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
          "\\'96\\'be\\'92\\'a9;}{\\f1\\fswiss\\fcharset0 Arial;}}\n"
          '\\pard\\f0 ' + text + '\\par\n'
          '\\pard\\f0 ' + escape_double_byte('日本'.encode('cp932'), lead) + "\\f1  and \\'e9\\par\n}\n")


def structures():
    write('handcrafted-structures.rtf', r'''{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fnil\fcharset2 Symbol;}}
{\colortbl;\red255\green0\blue0;}{\stylesheet{\s0 Normal;}}{\info{\title Structures}{\author Someone}}
{\header \pard Practice letterhead\par}{\footer \pard Page {\field{\*\fldinst PAGE}{\fldrslt 1}}\par}
\pard Body with a note{\super *}{\footnote \pard{\super *} Footnote words}. End of the first paragraph{\*\atnid AB}{\*\atnauthor Ann}\chatn{\*\annotation{\*\atnref 1}\pard Comment words} here.\par
\trowd\cellx2000\cellx4000\pard\intbl Remedy\cell Dose\cell\row
\trowd\cellx2000\cellx4000\pard\intbl Arnica\cell\cell\row
\trowd\cellx3000\cellx6000\pard\intbl\itap1 Outer\cell\pard\intbl\itap2 Inner one\nestcell Inner two\nestcell{\*\nesttableprops\trowd\cellx4000\cellx5000\nestrow}{\nonesttables\par}\pard\intbl\itap1\cell\row
\pard Link {\field{\*\fldinst HYPERLINK "https://example.org/remedies"}{\fldrslt }} and result {\field{\*\fldinst HYPERLINK "https://example.org"}{\fldrslt shown link}}\par
\pard Symbol field {\field{\*\fldinst SYMBOL 97 \\f "Symbol" \\s 12}{\fldrslt }} and font {\f1 abg}\par
{\shp{\*\shpinst{\sp{\sn shapeType}{\sv 202}}{\shptxt \pard Text box words\par}}{\shprslt{\*\do\dobxcolumn{\dptxbx{\dptxbxtext\pard Text box words\par}}}}}\pard After the box\par
\pard Unknown {\unknownword inside} and {\*\ignoredthing hidden} and {\upr{ansi half}{\*\ud{unicode half}}}\par
\pard Picture{\*\shppict{\pict\pngblip\picw1\pich1 89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154789c63f8cfc0000003010100c9fe92ef0000000049454e44ae426082}}{\nonshppict{\pict\wmetafile8 0100}} gone\par
\pard \uc2\u1488\'3f\'3f\u1489\'3f\'3f Hebrew by Unicode\uc1\u1490?\par
\pard Binary \bin3 {}\ skipped\par
\pard Last paragraph\par
}
''')


if __name__ == '__main__':
    charsets()
    big5_document()
    shift_jis()
    structures()
