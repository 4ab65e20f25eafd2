// Plays the outside repertory program in tests: registers a window of the class
// it is given and writes down every message, broadcast and restore request that
// reaches it. On the request message it reads the request file from the folder
// it is given, as the repertory program does.
//
//   messaging-test-peer <window class> <request folder> <output file> [--refuse-restore]
//
// It prints "ready" on its standard output once the window can be found, and
// ends when its standard input closes (or on SIGTERM). The output file holds a
// JSON array, rewritten whole (atomically) after every event, of objects:
//   {"kind": "posted" or "broadcast", "message": 1283, "wParam": "0", "lParam": "0",
//    "request": {"found": true, "text": "<?xml ...", "error": "",
//                "elements": [["Request/Type", "Calculate"], ...]}}
//   {"kind": "restore", "answer": true}
// Parameters are decimal texts (JSON numbers lose 64-bit precision); "request"
// is present only for the request message; "elements" lists the leaf elements
// of the request file in document order with their slash-separated paths.
#include "messaging/MessageWindow.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QSaveFile>
#include <QtCore/QSocketNotifier>
#include <QtCore/QStringList>
#include <QtCore/QXmlStreamReader>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr quint32 RequestMessage = 0x503;
const QString RequestFileName = QStringLiteral("VerdantaReq.xml");

QJsonObject ReadRequest(const QString &folder)
{
    QJsonObject request;
    QFile file(QDir(folder).filePath(RequestFileName));
    if (!file.open(QIODevice::ReadOnly)) {
        request.insert(QStringLiteral("found"), false);
        request.insert(QStringLiteral("error"), file.errorString());
        return request;
    }
    const QByteArray content = file.readAll();
    request.insert(QStringLiteral("found"), true);
    request.insert(QStringLiteral("text"), QString::fromUtf8(content));

    QJsonArray elements;
    QStringList path;
    QString text;
    bool leaf = false;
    QXmlStreamReader reader(content);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            path.append(reader.name().toString());
            text.clear();
            leaf = true;
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (leaf)
                elements.append(QJsonArray { path.join(QLatin1Char('/')), text });
            leaf = false;
            path.removeLast();
            break;
        default:
            break;
        }
    }
    request.insert(QStringLiteral("error"), reader.hasError() ? reader.errorString() : QString());
    request.insert(QStringLiteral("elements"), elements);
    return request;
}

class Recorder
{
public:
    Recorder(const QString &requestFolder, const QString &outputFile)
        : m_requestFolder(requestFolder)
        , m_outputFile(outputFile)
    { }

    void Message(const char *kind, quint32 message, quint64 wParam, qint64 lParam)
    {
        QJsonObject event { { QStringLiteral("kind"), QLatin1String(kind) },
            { QStringLiteral("message"), static_cast<qint64>(message) },
            { QStringLiteral("wParam"), QString::number(wParam) },
            { QStringLiteral("lParam"), QString::number(lParam) } };
        if (message == RequestMessage)
            event.insert(QStringLiteral("request"), ReadRequest(m_requestFolder));
        Append(event);
    }

    void Restore(bool answer)
    {
        Append(
            { { QStringLiteral("kind"), QStringLiteral("restore") }, { QStringLiteral("answer"), answer } });
    }

private:
    void Append(const QJsonObject &event)
    {
        m_events.append(event);
        QSaveFile file(m_outputFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(m_events).toJson()) < 0
            || !file.commit())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(m_outputFile));
    }

    QString m_requestFolder;
    QString m_outputFile;
    QJsonArray m_events;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool refuseRestore = args.removeAll(QStringLiteral("--refuse-restore")) > 0;
    if (args.size() != 3) {
        std::fprintf(stderr,
            "usage: messaging-test-peer <window class> <request folder> <output file> "
            "[--refuse-restore]\n");
        return 2;
    }

    Recorder recorder(args.at(1), args.at(2));
    Messaging::MessageWindow window;
    QObject::connect(&window, &Messaging::MessageWindow::messagePosted,
        [&](quint32 message, quint64 wParam, qint64 lParam) {
            recorder.Message("posted", message, wParam, lParam);
        });
    QObject::connect(&window, &Messaging::MessageWindow::messageBroadcast,
        [&](quint32 message, quint64 wParam, qint64 lParam) {
            recorder.Message("broadcast", message, wParam, lParam);
        });
    window.SetRestoreHandler([&] {
        recorder.Restore(!refuseRestore);
        return !refuseRestore;
    });
    if (!window.Register(args.at(0))) {
        std::fprintf(stderr, "%s\n", qPrintable(window.LastError()));
        return 1;
    }

    // Ends with the test that started it, even when that test dies.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });

    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
