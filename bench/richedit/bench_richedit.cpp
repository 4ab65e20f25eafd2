// Streams a synthetic notes document of about 2 MB of RTF (five years of
// consultations: 400 separators, 2,000 objects, mixed formatting) out and in,
// and QTextDocument's own HTML export and import of the same document; then
// reads 2 MB of RTF as word processors write it (tables, fields, pictures,
// Unicode with fallbacks, double-byte code pages).
// Prints "name: value unit" lines; times are the median of several runs.
#include "richedit/EmbeddedObjects.h"
#include "richedit/RtfCodec.h"
#include "richedit/TextFormats.h"
#include "richedit/widgets/RichEditControl.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Consultations = 400;
constexpr int ObjectsPerConsultation = 5; // the separator and four items
constexpr int Runs = 7;

const char *const Words[]
    = { "patient", "reports", "headache", "worse", "morning", "better", "warmth", "thirst", "little", "sleep",
          "restless", "after", "midnight", "desire", "fresh", "air", "anxiety", "about", "health", "Arnica",
          "Belladonna", "Nux", "vomica", "30C", "200C", "dose", "daily", "café", "naïve", "Ωmega" };

QString sentence(QRandomGenerator &random, int words)
{
    QString text;
    for (int i = 0; i < words; ++i) {
        if (i)
            text += u' ';
        text += QString::fromUtf8(Words[random.bounded(int(std::size(Words)))]);
    }
    return text + u'.';
}

void buildNotes(QTextDocument &document, int paragraphsPerConsultation)
{
    QRandomGenerator random(2026);
    QTextCursor cursor(&document);
    qint64 handle = 1;
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat colored;
    colored.setForeground(QColor(180, 0, 0));
    colored.setFontItalic(true);
    QTextCharFormat marked;
    marked.setBackground(QColor(255, 255, 0));
    marked.setFontPointSize(12);
    const QTextCharFormat formats[] = { plain, bold, colored, marked };
    for (int c = 0; c < Consultations; ++c) {
        if (c)
            cursor.insertBlock();
        cursor.insertText(
            QString(QChar::ObjectReplacementCharacter), RichEdit::embeddedObjectFormat(plain, 1, handle++));
        for (int p = 0; p < paragraphsPerConsultation; ++p) {
            cursor.insertBlock();
            for (int run = 0; run < 4; ++run)
                cursor.insertText(
                    sentence(random, 6 + random.bounded(10)) + u' ', formats[random.bounded(4)]);
            if (p < ObjectsPerConsultation - 1) {
                cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                    RichEdit::embeddedObjectFormat(plain, 2 + p, handle++));
                cursor.insertText(QStringLiteral("  "), plain);
            }
        }
        // A short bulleted and a numbered list in every consultation.
        for (const auto kind : { RichEdit::ParagraphFormat::NumberingKind::Bullet,
                 RichEdit::ParagraphFormat::NumberingKind::Arabic }) {
            cursor.insertBlock();
            const int first = cursor.position();
            cursor.insertText(sentence(random, 4));
            cursor.insertBlock();
            cursor.insertText(sentence(random, 4));
            QTextCursor range(&document);
            range.setPosition(first);
            range.setPosition(cursor.position(), QTextCursor::KeepAnchor);
            RichEdit::ParagraphFormat format;
            format.mask = RichEdit::ParagraphFormat::Numbering | RichEdit::ParagraphFormat::NumberingTab;
            format.numbering = kind;
            format.numberingTab = 250;
            RichEdit::applyParagraphFormat(range, format);
        }
    }
}

// RTF the way word processors write it: a font table with several charsets,
// paragraphs with \\uN and fallbacks, Shift-JIS and Greek bytes, hyperlink
// fields, a table and a picture in every section.
QByteArray foreignRtf(qsizetype size)
{
    QRandomGenerator random(7);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
                     "{\\f1\\fnil\\fcharset128 MS Mincho;}{\\f2\\fnil\\fcharset161 Arial Greek;}"
                     "{\\f3\\fnil\\fcharset2 Symbol;}}{\\colortbl;\\red192\\green0\\blue0;}"
                     "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Notes}}\\uc1\\pard\\plain\\f0\\fs24 ";
    QByteArray picture = "{\\pict\\pngblip\\picw16\\pich16 ";
    for (int i = 0; i < 2048; ++i)
        picture += "0123456789abcdef"[random.bounded(16)];
    picture += '}';
    int section = 0;
    while (rtf.size() < size) {
        for (int p = 0; p < 20; ++p) {
            for (int w = 0; w < 12; ++w) {
                rtf += Words[random.bounded(int(std::size(Words)))][0] == 'c' ? "caf\\'e9 "
                                                                              : "patient reports ";
                if (w % 4 == 1)
                    rtf += "{\\b worse} {\\i\\cf1 better} ";
            }
            rtf += "\\u945?\\u946?\\u26085?\\u26412? {\\f1 \\'93\\'fa\\'96\\'7b\\'8c\\'ea} {\\f2 "
                   "\\'e1\\'e2\\'e3} "
                   "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/a\"}{\\fldrslt link}} {\\f3 "
                   "\\'b7}\\par\r\n";
        }
        rtf += "\\trowd\\cellx3000\\cellx6000\\pard\\intbl Remedy\\cell Dose\\cell\\row"
               "\\trowd\\cellx3000\\cellx6000\\pard\\intbl Arnica\\cell 30C\\cell\\row\\pard ";
        rtf += picture;
        rtf += "\\par\r\n";
        ++section;
    }
    rtf += '}';
    return rtf;
}

double medianMs(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    // Grow the consultations until the RTF reaches 2 MB.
    QTextDocument notes;
    notes.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    int paragraphs = 4;
    QByteArray rtf;
    for (;;) {
        notes.clear();
        buildNotes(notes, paragraphs);
        rtf = RichEdit::RtfCodec::toRtf(notes);
        if (rtf.size() >= 2 * 1024 * 1024)
            break;
        paragraphs += std::max(1, int(paragraphs * (2.0 * 1024 * 1024 / rtf.size() - 1)));
    }
    print("notes_rtf_size", rtf.size() / 1024.0 / 1024.0, "MiB");
    // bench_richedit FILE also keeps the document for a closer look.
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (file.open(QIODevice::WriteOnly))
            file.write(rtf);
    }
    print("notes_objects", RichEdit::scanEmbeddedObjects(notes).size(), "objects");
    print("notes_characters", notes.characterCount(), "chars");

    QByteArray streamed;
    const double out = medianMs([&] {
        streamed.clear();
        RichEdit::RtfCodec::streamOut(notes, [&](const char *data, qsizetype size) {
            streamed.append(data, size);
            return true;
        });
    });
    const double in = medianMs([&] {
        QTextDocument target;
        qsizetype offset = 0;
        RichEdit::RtfCodec::streamIn(target, [&](char *buffer, qsizetype capacity) {
            const qsizetype count = std::min(capacity, streamed.size() - offset);
            memcpy(buffer, streamed.constData() + offset, size_t(count));
            offset += count;
            return count;
        });
    });
    QString html;
    const double htmlOut = medianMs([&] { html = notes.toHtml(); });
    const double htmlIn = medianMs([&] {
        QTextDocument target;
        target.setHtml(html);
    });
    print("rtf_stream_out", out, "ms");
    print("rtf_stream_in", in, "ms");
    print("html_export", htmlOut, "ms");
    print("html_import", htmlIn, "ms");
    print("html_export_over_rtf_stream_out", htmlOut / out, "ratio");
    print("html_import_over_rtf_stream_in", htmlIn / in, "ratio");

    // The same through the control, whose document has a layout to keep up.
    RichEdit::RichEditControl control;
    control.resize(800, 600);
    const double controlIn = medianMs([&] { control.streamIn(streamed); });
    QByteArray again;
    const double controlOut = medianMs([&] { control.streamOut(again); });
    print("control_stream_in", controlIn, "ms");
    print("control_stream_out", controlOut, "ms");

    const QByteArray foreign = foreignRtf(2 * 1024 * 1024);
    print("foreign_rtf_size", foreign.size() / 1024.0 / 1024.0, "MiB");
    const double foreignIn = medianMs([&] {
        QTextDocument target;
        RichEdit::RtfCodec::fromRtf(target, foreign);
    });
    print("foreign_rtf_read", foreignIn, "ms");
    return 0;
}
