// Building mail text of realistic and large size:
//   mime_letter_ms            a two-page letter with the office footer, no attachment
//   mime_20mib_attachment_ms  the same with a 20 MiB attachment (scanned documents)
//   mailto_100kib_body_ms     a mailto: address for a 100 KiB body with line breaks
// Medians over the runs.
#include "practice/BenchTimer.h"

#include "mail/Mailto.h"
#include "mail/MimeMessage.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    QFile scan(folder.filePath(QStringLiteral("scan.pdf")));
    if (!scan.open(QIODevice::WriteOnly))
        return 1;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(4711);
    for (int i = 0; i < 20; ++i) {
        random.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
        scan.write(chunk);
    }
    scan.close();

    QString letter;
    for (int i = 0; i < 80; ++i)
        letter
            += QStringLiteral("Zeile %1: Bitte nehmen Sie die Globuli morgens & abends — nüchtern.\n").arg(i);
    Mail::MailMessage message = Mail::ComposeMessage(QStringLiteral("Ana Pop"),
        QStringLiteral("ana@example.org"), QStringLiteral("Ihre Behandlung"), letter, {},
        Mail::OfficeIdentity { QStringLiteral("Praxis"), QStringLiteral("praxis@example.org"),
            QStringLiteral("Praxis\nHauptstr. 1") });

    QByteArray out;
    QString error;
    Bench::Report("mime_letter_ms",
        Bench::MedianMs(50, [&] { Mail::BuildMimeMessage(message, {}, &out, &error); }), "ms");
    message.attachments = { scan.fileName() };
    Bench::Report("mime_20mib_attachment_ms",
        Bench::MedianMs(5, [&] { Mail::BuildMimeMessage(message, {}, &out, &error); }), "ms");
    Bench::Report("mime_20mib_attachment_bytes", static_cast<double>(out.size()), "bytes");

    QString body;
    while (body.size() < 100 * 1024)
        body += letter;
    Bench::Report("mailto_100kib_body_ms",
        Bench::MedianMs(20,
            [&] {
                out = Mail::MailtoUrl(QStringLiteral("ana@example.org"), QStringLiteral("S"), body)
                          .toLatin1();
            }),
        "ms");
    return 0;
}
