// Streams a synthetic notes document of about 2 MB of RTF (five years of
// consultations: 400 separators, 2,000 objects, mixed formatting) out and in,
// and QTextDocument's own HTML export and import of the same document.
// Prints "name: value unit" lines; times are the median of several runs.
#include "richedit/EmbeddedObjects.h"
#include "richedit/RichEditControl.h"
#include "richedit/RtfCodec.h"
#include "richedit/TextFormats.h"

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
    return 0;
}
