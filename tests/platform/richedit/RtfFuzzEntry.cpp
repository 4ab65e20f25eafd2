// The fuzz entry of the RTF reader. Any bytes must either load or fail
// cleanly (false and an empty document), and what loads must come back with
// the same text after a write and a second read.
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
    if (!RichEdit::RtfReader::read(bytes, document)) {
        if (!document.isEmpty())
            fail("a refused input left text behind");
        return 0;
    }
    QTextDocument again;
    if (!RichEdit::RtfReader::read(RichEdit::RtfWriter::write(document), again))
        fail("our own output was refused");
    if (again.toRawText() != document.toRawText())
        fail("the text changed through a write and a read");
    return 0;
}
