#include "mail/MimeMessage.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLocale>
#include <QtCore/QMimeDatabase>
#include <QtCore/QUrl>
#include <QtCore/QUuid>

#include <algorithm>
#include <cstring>

namespace Mail {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Mail::MimeMessage", text);
}

const char hexDigits[] = "0123456789ABCDEF";

void appendHex(QByteArray &out, unsigned char byte)
{
    out += '=';
    out += hexDigits[byte >> 4];
    out += hexDigits[byte & 0xF];
}

// Control characters cannot stand in a header: line breaks and tabs become
// spaces, the rest go.
QString headerSafe(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            safe += QLatin1Char(' ');
        else if (c.category() != QChar::Other_Control)
            safe += c;
    }
    return safe;
}

bool isPrintableAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

// UTF-8 "B" encoded-words of at most 75 characters, split between characters
// and joined by folding whitespace.
QByteArray encodedWords(const QString &text)
{
    // 52 base64 characters, 64 with the markers: a header name fits before the first.
    constexpr qsizetype maxBytes = 39;
    QByteArray out;
    QByteArray chunk;
    const auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = text.mid(i, length).toUtf8();
        i += length - 1;
        if (chunk.size() + character.size() > maxBytes)
            flush();
        chunk += character;
    }
    flush();
    return out;
}

// An unstructured header value (the subject): as it stands when it is short
// printable ASCII, encoded-words otherwise.
QByteArray unstructured(const QString &text)
{
    const QString safe = headerSafe(text);
    if (isPrintableAscii(safe) && safe.size() <= 66 && !safe.contains(QStringLiteral("=?")))
        return safe.toLatin1();
    return encodedWords(safe);
}

QByteArray displayName(const QString &name)
{
    const QString safe = headerSafe(name).trimmed();
    if (isPrintableAscii(safe) && safe.size() <= 60 && !safe.contains(QStringLiteral("=?"))) {
        QByteArray quoted = safe.toLatin1();
        quoted.replace('\\', "\\\\");
        quoted.replace('"', "\\\"");
        return '"' + quoted + '"';
    }
    return encodedWords(safe);
}

// "Name <address>" for a header whose name takes the first columns; the
// address goes on a folded line of its own when it would not fit.
QByteArray mailbox(qsizetype headerColumns, const QString &name, const QByteArray &address)
{
    if (headerSafe(name).trimmed().isEmpty())
        return '<' + address + '>';
    const QByteArray shown = displayName(name);
    const qsizetype fold = shown.lastIndexOf("\r\n");
    const qsizetype column = fold < 0 ? headerColumns + shown.size() : shown.size() - fold - 2;
    return shown + (column + address.size() + 3 > 78 ? "\r\n <" : " <") + address + '>';
}

QByteArray rfc5322Date(const QDateTime &moment)
{
    const QDateTime local = moment.isValid() ? moment : QDateTime::currentDateTime();
    const int offset = local.offsetFromUtc() / 60;
    const int magnitude = offset < 0 ? -offset : offset;
    return QLocale::c().toString(local, QStringLiteral("ddd, d MMM yyyy HH:mm:ss ")).toLatin1()
        + (offset < 0 ? '-' : '+') + QByteArray::number(magnitude / 60).rightJustified(2, '0')
        + QByteArray::number(magnitude % 60).rightJustified(2, '0');
}

// Text as UTF-8 quoted-printable: lines of at most 76 characters with soft
// breaks, "=", non-ASCII and control bytes encoded, spaces before a line end
// and a dot that begins a line encoded too.
QByteArray quotedPrintable(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QByteArray out;
    for (const QByteArray &line : lines.toUtf8().split('\n')) {
        qsizetype column = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const auto byte = static_cast<unsigned char>(line.at(i));
            const bool atEnd = i + 1 == line.size();
            const auto literalAt = [&](qsizetype at) {
                return (byte >= 33 && byte <= 126 && byte != '=' && !(byte == '.' && at == 0))
                    || ((byte == ' ' || byte == '\t') && !atEnd);
            };
            bool literal = literalAt(column);
            // Keep room for the "=" of a soft break unless this ends the line.
            if (column + (literal ? 1 : 3) > (atEnd ? 76 : 75)) {
                out += "=\r\n";
                column = 0;
                literal = literalAt(0);
            }
            if (literal)
                out += static_cast<char>(byte);
            else
                appendHex(out, byte);
            column += literal ? 1 : 3;
        }
        out += "\r\n";
    }
    return out;
}

// Appends the data in base64, in lines of 76 characters.
void appendBase64Lines(QByteArray &out, const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    const qsizetype lines = (encoded.size() + 75) / 76;
    const qsizetype start = out.size();
    out.resize(start + encoded.size() + lines * 2);
    char *to = out.data() + start;
    for (qsizetype from = 0; from < encoded.size(); from += 76) {
        const qsizetype length = std::min<qsizetype>(76, encoded.size() - from);
        std::memcpy(to, encoded.constData() + from, static_cast<size_t>(length));
        to += length;
        *to++ = '\r';
        *to++ = '\n';
    }
}

bool isAttributeChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
        || (c != '\0' && std::strchr("!#$&+-.^_`|~", c) != nullptr);
}

// A header parameter: a quoted string when short printable ASCII, otherwise
// RFC 2231 UTF-8 percent-encoding split into numbered sections of one line each.
QByteArray parameter(const QByteArray &attribute, const QString &value)
{
    const QString safe = headerSafe(value);
    if (isPrintableAscii(safe) && safe.size() <= 60) {
        QByteArray quoted = safe.toLatin1();
        quoted.replace('\\', "\\\\");
        quoted.replace('"', "\\\"");
        return attribute + "=\"" + quoted + '"';
    }
    QList<QByteArray> sections { "UTF-8''" };
    for (const char c : safe.toUtf8()) {
        QByteArray piece(1, c);
        if (!isAttributeChar(c)) {
            const auto byte = static_cast<unsigned char>(c);
            piece = QByteArray("%") + hexDigits[byte >> 4] + hexDigits[byte & 0xF];
        }
        if (sections.last().size() + piece.size() > 60)
            sections.append(QByteArray());
        sections.last() += piece;
    }
    if (sections.size() == 1)
        return attribute + "*=" + sections.first();
    QByteArray out;
    for (qsizetype i = 0; i < sections.size(); ++i) {
        if (i > 0)
            out += ";\r\n ";
        out += attribute + '*' + QByteArray::number(i) + "*=" + sections.at(i);
    }
    return out;
}

struct Attachment
{
    QString path;
    QString name;
    QByteArray type;
    qint64 size = 0;
};

QString unreadable(const QString &path)
{
    return tr("The attachment \"%1\" cannot be read.").arg(path);
}

// Checks every attachment before anything is built; each is read only when
// its turn comes, so that one file at a time is in memory beside the mail.
bool inspectAttachments(const QStringList &paths, QList<Attachment> *attachments, QString *error)
{
    const QMimeDatabase types;
    for (const QString &path : paths) {
        const QFileInfo file(path);
        if (!file.isFile() || !file.isReadable()) {
            *error = unreadable(path);
            return false;
        }
        QByteArray type = types.mimeTypeForFile(file).name().toLatin1();
        attachments->append(
            { path, file.fileName(), type.isEmpty() ? "application/octet-stream" : type, file.size() });
    }
    return true;
}

bool appendAttachment(QByteArray &mail, const Attachment &attachment, QString *error)
{
    QFile file(attachment.path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = unreadable(attachment.path);
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = unreadable(attachment.path);
        return false;
    }
    appendBase64Lines(mail, data);
    return true;
}

} // namespace

QByteArray EnvelopeAddress(const QString &address)
{
    const QString text = address.trimmed();
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    const QString local = at < 0 ? text : text.left(at);
    if (local.isEmpty() || !isPrintableAscii(local))
        return {};
    for (const QChar c : local) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('<') || c == QLatin1Char('>'))
            return {};
    }
    if (at < 0)
        return local.toLatin1();
    const QByteArray domain = QUrl::toAce(text.mid(at + 1));
    if (domain.isEmpty())
        return {};
    return local.toLatin1() + '@' + domain;
}

bool BuildMimeMessage(const MailMessage &message, const QString &replyTo, QByteArray *out, QString *error)
{
    const QByteArray from = EnvelopeAddress(message.senderAddress);
    const QByteArray to = EnvelopeAddress(message.recipientAddress);
    const QByteArray answerTo = replyTo.trimmed().isEmpty() ? QByteArray() : EnvelopeAddress(replyTo);
    if (from.isEmpty() || to.isEmpty()) {
        *error = tr("The address \"%1\" cannot be used for sending mail.")
                     .arg(from.isEmpty() ? message.senderAddress : message.recipientAddress);
        return false;
    }
    QList<Attachment> attachments;
    if (!inspectAttachments(message.attachments, &attachments, error))
        return false;

    const qsizetype at = from.lastIndexOf('@');
    const QByteArray domain = at < 0 ? QByteArray("verdanta.invalid") : from.mid(at + 1);
    QByteArray mail;
    qint64 expected = 4096 + message.body.size() * 9;
    for (const Attachment &attachment : attachments)
        expected += attachment.size / 57 * 78 + 1024;
    mail.reserve(static_cast<qsizetype>(expected));
    mail += "Date: " + rfc5322Date(message.date) + "\r\n";
    mail += "From: " + mailbox(6, message.senderName, from) + "\r\n";
    if (!answerTo.isEmpty())
        mail += "Reply-To: <" + answerTo + ">\r\n";
    mail += "To: " + mailbox(4, message.recipientName, to) + "\r\n";
    mail += "Subject: " + unstructured(message.subject) + "\r\n";
    mail += "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' + domain + ">\r\n";
    mail += "MIME-Version: 1.0\r\n";

    const QByteArray textHeaders
        = "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
    if (attachments.isEmpty()) {
        mail += textHeaders + "\r\n" + quotedPrintable(message.body);
        *out = mail;
        return true;
    }
    // "=_" never appears in quoted-printable or base64 text.
    const QByteArray boundary = "=_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    mail += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    mail += "This is a message in MIME format.\r\n";
    mail += "--" + boundary + "\r\n" + textHeaders + "\r\n" + quotedPrintable(message.body);
    for (const Attachment &attachment : attachments) {
        mail += "--" + boundary + "\r\n";
        mail += "Content-Type: " + attachment.type + ";\r\n " + parameter("name", attachment.name) + "\r\n";
        mail += "Content-Transfer-Encoding: base64\r\n";
        mail += "Content-Disposition: attachment;\r\n " + parameter("filename", attachment.name) + "\r\n\r\n";
        if (!appendAttachment(mail, attachment, error))
            return false;
    }
    mail += "--" + boundary + "--\r\n";
    *out = mail;
    return true;
}

} // namespace Mail
