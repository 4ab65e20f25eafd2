// The fuzz entry of the RTF reader. Any bytes must either load or fail
// cleanly (false, an error text, and the document as it was), what loads must
// hold no object characters, and it must come back with the same text after a
// write and a second read.
#include "richedit/RtfReader.h"
#include "richedit/RtfWriter.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_rtfreader";
    static char *argv[] = { name, nullptr };
    static QGuiApplication application(argc, argv);
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "RTF fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    const QString before = QStringLiteral("kept");
    document.setPlainText(before);
    RichEdit::RtfReadReport report;
    if (!RichEdit::RtfReader::read(bytes, document, &report)) {
        if (document.toPlainText() != before)
            fail("a refused input changed the document");
        if (report.read || report.error.isEmpty())
            fail("a refused input has no error text");
        return 0;
    }
    if (!report.read || report.descriptions().size() != report.entries.size())
        fail("the report does not match the read");
    if (document.toRawText().contains(QChar::ObjectReplacementCharacter))
        fail("an object character came from outside");
    QTextDocument again;
    if (!RichEdit::RtfReader::read(RichEdit::RtfWriter::write(document), again))
        fail("our own output was refused");
    if (again.toRawText() != document.toRawText())
        fail("the text changed through a write and a read");
    return 0;
}
