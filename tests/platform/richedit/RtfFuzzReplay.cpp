// Replays the committed corpus through the fuzz entry, then a bounded set of
// generated hostile inputs: truncations and byte flips of every corpus file,
// unbalanced braces, deep nesting, huge binary counts and invalid \uN. A fault
// ends the program (the entry aborts), so the test fails.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

int feed(const QByteArray &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    return 1;
}

std::vector<QByteArray> hostileInputs()
{
    static const char controlBytes[] = "{\\rtf1 \0\x01\x02\xff\xfe text \x80\x9f}";
    std::vector<QByteArray> inputs = {
        "{\\rtf1",
        "{\\rtf1 }}}}}}}}}}}}}}}}",
        "{\\rtf1 {{{{{{{{{{{{{{{{ text",
        "{\\rtf1 " + QByteArray(100000, '{') + "deep",
        "{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "}",
        "{\\rtf1 " + QByteArray(50000, '}') + QByteArray(50000, '{'),
        "{\\rtf1 a\\bin2147483647 b}",
        "{\\rtf1 a\\bin99999999999999999999999 b}",
        "{\\rtf1 a\\bin-5 b}",
        "{\\rtf1 \\u-32769?\\u65536?\\u99999999999?\\u-?\\u55296?\\u56320 \\u57343?\\uc99999 \\u65 x}",
        "{\\rtf1 \\uc-1\\u66 \\'zz\\'4\\'",
        "{\\rtf1{\\fonttbl{\\f0\\fcharset128 A;}" + QByteArray(1000, 'x') + "}\\f0\\'82\\'}",
        "{\\rtf1\\ansicpg65001 \\'e2\\'82}",
        "{\\rtf1\\ansicpg99999 \\'e2\\'82}",
        "{\\rtf1{\\colortbl;\\red999\\green-5\\blue300;;;}\\cf999999999\\highlight-3 c}",
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc99999\\levelstartat-9}}}\\ls-1\\ilvl99 x\\par}",
        "{\\rtf1\\pard{\\*\\pn\\pnlvlblt\\pnstart-99999999}" + QByteArray(2000, 't').replace("t", "\\tx99 ")
            + "x\\par}",
        "{\\rtf1 " + QByteArray(200000, 'a').prepend('\\') + "99999999999999999999 z}",
        "{\\rtf1 " + QByteArray(20000, '\\') + "}",
        "{\\rtf1 " + QByteArray(20000, 'p').replace("p", "\\par ") + "}",
        "{\\rtf1 \\fs99999999 \\li-99999999 \\sb99999999 big\\par}",
        QByteArray(controlBytes, sizeof(controlBytes) - 1),
    };
    return inputs;
}

} // namespace

int main(int argc, char **argv)
{
    int count = 0;
    std::vector<QByteArray> corpus;
    if (argc > 1) {
        const QDir folder(QString::fromLocal8Bit(argv[1]));
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                corpus.push_back(file.readAll());
        }
        if (corpus.empty()) {
            std::fprintf(stderr, "no corpus in %s\n", argv[1]);
            return 1;
        }
    }
    for (const QByteArray &input : corpus)
        count += feed(input);
    for (const QByteArray &input : hostileInputs())
        count += feed(input);

    // Truncations and flipped bytes of every corpus file, from a fixed seed.
    QRandomGenerator random(9);
    for (const QByteArray &input : corpus) {
        for (int i = 1; i <= 16; ++i)
            count += feed(input.left(input.size() * i / 17));
        for (int i = 0; i < 24; ++i) {
            QByteArray mutated = input;
            for (int flips = 0; flips < 4 && !mutated.isEmpty(); ++flips) {
                const qsizetype at = qsizetype(random.bounded(quint32(mutated.size())));
                static const char interesting[] = "{}\\'*0123456789-u ";
                mutated[at] = random.bounded(2)
                    ? char(random.bounded(256))
                    : interesting[random.bounded(quint32(sizeof(interesting) - 1))];
            }
            count += feed(mutated);
        }
    }
    std::printf("RTF fuzz replay: %d inputs, no fault\n", count);
    return 0;
}
