#include "invoicing/InvoiceDocument.h"

#include "core/AtomicFile.h"

#include "common/LocaleDates.h"

#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QSaveFile>
#include <QtGui/QPageSize>
#include <QtGui/QPdfWriter>
#include <QtGui/QTextDocument>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <functional>
#include <map>

using Verdanta::FormatMoneyForDisplay;
using Verdanta::Money;

namespace InvoiceDocuments {

namespace {

const QChar kOpen(0x00AB);
const QChar kClose(0x00BB);
const QString kItems = QStringLiteral("ITEMS");
// No template is read beyond this size (a wrong file chosen as a template).
constexpr qint64 MaxEntrySize = qint64(64) * 1024 * 1024;

QString Tr(const char *text)
{
    return QCoreApplication::translate("InvoiceDocuments", text);
}

QString DateText(const QDateTime &date)
{
    return date.isValid() ? Verdanta::FormatLocaleDate(date.date()) : QString();
}

std::map<QString, QString> Values(const Fields &fields)
{
    Money unpaid;
    for (const Line &line : fields.items)
        unpaid += line.amount + line.tax1 + line.tax2;
    return {
        { QStringLiteral("PATIENT_NAME"), fields.patientName },
        { QStringLiteral("PATIENT_ADDRESS"), fields.patientAddress },
        { QStringLiteral("INVOICE_ID"), fields.invoiceId },
        { QStringLiteral("INVOICE_DATE"), fields.invoiceDate },
        { QStringLiteral("AMOUNT"), fields.amount },
        { QStringLiteral("INFO"), fields.info },
        { QStringLiteral("OFFICE_NAME"), fields.officeName },
        { QStringLiteral("OFFICE_ADDRESS"), fields.officeAddress },
        { QStringLiteral("OFFICE_PHONE"), fields.officePhone },
        { QStringLiteral("OFFICE_EMAIL"), fields.officeEmail },
        { QStringLiteral("UNPAID_TOTAL"), FormatMoneyForDisplay(unpaid) },
    };
}

// The items table as rows of cells, the heading first and the total last.
QList<QStringList> ItemRows(const Fields &fields)
{
    QList<QStringList> rows;
    rows.append({ Tr("Date"), Tr("Description"), Tr("Amount"), Tr("Tax1"), Tr("Tax2"), Tr("Total") });
    Money sum;
    for (const Line &line : fields.items) {
        const Money total = line.amount + line.tax1 + line.tax2;
        sum += total;
        rows.append({ DateText(line.date), line.description, FormatMoneyForDisplay(line.amount),
            FormatMoneyForDisplay(line.tax1), FormatMoneyForDisplay(line.tax2),
            FormatMoneyForDisplay(total) });
    }
    rows.append({ QString(), Tr("Total"), QString(), QString(), QString(), FormatMoneyForDisplay(sum) });
    return rows;
}

// Replaces every placeholder written with the given opening and closing
// marks; the items placeholder through its own function. True when one was found.
bool ReplaceAll(QString &text, const QString &open, const QString &close,
    const std::map<QString, QString> &values, const std::function<QString(const QString &)> &escape,
    const QString &items)
{
    bool found = false;
    for (const auto &[name, value] : values) {
        const QString mark = open + name + close;
        if (text.contains(mark)) {
            text.replace(mark, escape(value));
            found = true;
        }
    }
    const QString itemsMark = open + kItems + close;
    if (text.contains(itemsMark)) {
        text.replace(itemsMark, items);
        found = true;
    }
    return found;
}

QString HtmlEscape(const QString &value)
{
    return value.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString HtmlTable(const Fields &fields)
{
    QString html = QStringLiteral("<table class=\"items\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">");
    const QList<QStringList> rows = ItemRows(fields);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            const QString tag = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
            const QString align = c >= 2 ? QStringLiteral(" align=\"right\"") : QString();
            html += QStringLiteral("<%1%2>%3</%1>").arg(tag, align, rows[r][c].toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString PlainTable(const Fields &fields)
{
    QStringList lines;
    for (const QStringList &row : ItemRows(fields))
        lines.append(row.join(QLatin1Char('\t')));
    return lines.join(QLatin1Char('\n'));
}

QString RtfEscape(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}'))
            out += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\line ");
        else if (c == QLatin1Char('\r'))
            continue;
        else if (u < 0x80)
            out += c;
        else
            out += QStringLiteral("\\u%1?").arg(static_cast<short>(u));
    }
    return out;
}

QString RtfTable(const Fields &fields)
{
    static const int widths[] = { 1600, 3600, 1500, 1300, 1300, 1500 };
    QString row0 = QStringLiteral("\\trowd\\trgaph70");
    int x = 0;
    for (const int width : widths) {
        x += width;
        row0 += QStringLiteral("\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx%1")
                    .arg(x);
    }
    QString rtf = QStringLiteral("\\par ");
    for (const QStringList &row : ItemRows(fields)) {
        rtf += row0 + QStringLiteral("\\pard\\intbl ");
        for (const QString &cell : row)
            rtf += RtfEscape(cell) + QStringLiteral("\\cell ");
        rtf += QStringLiteral("\\row ");
    }
    return rtf + QStringLiteral("\\pard ");
}

QString XmlEscape(const QString &value)
{
    QString out = value.toHtmlEscaped();
    out.replace(QLatin1Char('\n'), QStringLiteral("<text:line-break/>"));
    out.replace(QLatin1Char('\t'), QStringLiteral("<text:tab/>"));
    return out;
}

QString OdtTable(const Fields &fields)
{
    const QList<QStringList> rows = ItemRows(fields);
    QString xml = QStringLiteral("<table:table table:name=\"InvoiceItems\"><table:table-column "
                                 "table:number-columns-repeated=\"%1\"/>")
                      .arg(rows.first().size());
    for (const QStringList &row : rows) {
        xml += QStringLiteral("<table:table-row>");
        for (const QString &cell : row) {
            xml += QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1</text:p>"
                                  "</table:table-cell>")
                       .arg(XmlEscape(cell));
        }
        xml += QStringLiteral("</table:table-row>");
    }
    return xml + QStringLiteral("</table:table>");
}

// An OpenDocument part: the items placeholder standing alone in a paragraph
// becomes a table; anywhere else it becomes lines.
bool FillOdtPart(QString &xml, const Fields &fields)
{
    const QString itemsMark = kOpen + kItems + kClose;
    static const QRegularExpression alone(
        QStringLiteral("<text:p\\b[^>]*>\\s*%1\\s*</text:p>").arg(QRegularExpression::escape(itemsMark)));
    bool found = false;
    if (xml.contains(alone)) {
        xml.replace(alone, OdtTable(fields));
        found = true;
    }
    QString lines = PlainTable(fields);
    return ReplaceAll(xml, QString(kOpen), QString(kClose), Values(fields), XmlEscape, XmlEscape(lines))
        || found;
}

bool ReadEntry(QuaZip &zip, QByteArray *bytes)
{
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.usize() > MaxEntrySize)
        return false;
    *bytes = file.readAll();
    return file.getZipError() == UNZ_OK;
}

QByteArray FillOdt(const QByteArray &bytes, const Fields &fields, bool *ok)
{
    *ok = false;
    QByteArray input = bytes;
    QBuffer inBuffer(&input);
    QuaZip in(&inBuffer);
    if (!in.open(QuaZip::mdUnzip))
        return bytes;
    struct Entry
    {
        QString name;
        QByteArray data;
    };
    std::vector<Entry> entries;
    bool found = false;
    for (bool more = in.goToFirstFile(); more; more = in.goToNextFile()) {
        Entry entry { in.getCurrentFileName(), {} };
        if (!ReadEntry(in, &entry.data))
            return bytes;
        if (entry.name == u"content.xml" || entry.name == u"styles.xml") {
            QString xml = QString::fromUtf8(entry.data);
            if (FillOdtPart(xml, fields)) {
                entry.data = xml.toUtf8();
                found = true;
            }
        }
        entries.push_back(std::move(entry));
    }
    if (in.getZipError() != UNZ_OK || entries.empty())
        return bytes;
    *ok = true;
    if (!found)
        return bytes;

    QByteArray output;
    QBuffer outBuffer(&output);
    QuaZip out(&outBuffer);
    if (!out.open(QuaZip::mdCreate)) {
        *ok = false;
        return bytes;
    }
    // The mimetype entry comes first and uncompressed, as readers expect.
    std::stable_partition(
        entries.begin(), entries.end(), [](const Entry &e) { return e.name == u"mimetype"; });
    for (const Entry &entry : entries) {
        QuaZipFile file(&out);
        const bool stored = entry.name == u"mimetype";
        const QuaZipNewInfo info(entry.name);
        if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, stored ? 0 : Z_DEFLATED,
                stored ? 0 : Z_DEFAULT_COMPRESSION)
            || file.write(entry.data) != entry.data.size()) {
            *ok = false;
            return bytes;
        }
        file.close();
        if (file.getZipError() != ZIP_OK) {
            *ok = false;
            return bytes;
        }
    }
    out.close();
    if (out.getZipError() != ZIP_OK) {
        *ok = false;
        return bytes;
    }
    return output;
}

} // namespace

QStringList PlaceholderNames()
{
    QStringList names;
    for (const auto &entry : Values(Fields {}))
        names.append(entry.first);
    names.append(kItems);
    return names;
}

bool IsPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QStringList TemplateNames(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString &name) { return !IsPlainFileName(name); });
    return names;
}

QString Extension(const QString &templateName)
{
    const qsizetype dot = templateName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : templateName.mid(dot);
}

QString DocumentName(qint64 invoiceId, const QString &templateName)
{
    return QString::number(invoiceId) + Extension(templateName);
}

QStringList DocumentNames(const QString &folder, qint64 invoiceId)
{
    if (folder.isEmpty() || invoiceId <= 0)
        return {};
    const QString prefix = QString::number(invoiceId) + QLatin1Char('.');
    QStringList names;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(prefix))
            names.append(name);
    }
    return names;
}

QByteArray Fill(const QByteArray &bytes, const QString &extension, const Fields &fields, bool *ok)
{
    bool readable = true;
    const QString kind = extension.toLower();
    const std::map<QString, QString> values = Values(fields);
    QByteArray result = bytes;
    if (kind == u".txt" || kind == u".text") {
        QString text = QString::fromUtf8(bytes);
        if (ReplaceAll(
                text, QString(kOpen), QString(kClose), values, [](const QString &v) { return v; },
                PlainTable(fields)))
            result = text.toUtf8();
    } else if (kind == u".html" || kind == u".htm" || kind == u".xhtml") {
        QString html = QString::fromUtf8(bytes);
        const QString table = HtmlTable(fields);
        bool found = ReplaceAll(html, QString(kOpen), QString(kClose), values, HtmlEscape, table);
        found = ReplaceAll(
                    html, QStringLiteral("&laquo;"), QStringLiteral("&raquo;"), values, HtmlEscape, table)
            || found;
        found
            = ReplaceAll(html, QStringLiteral("&#171;"), QStringLiteral("&#187;"), values, HtmlEscape, table)
            || found;
        if (found)
            result = html.toUtf8();
    } else if (kind == u".rtf") {
        // RTF is 7-bit text; the marks are written as code-page or Unicode escapes.
        QString rtf = QString::fromLatin1(bytes);
        const QString table = RtfTable(fields);
        bool found
            = ReplaceAll(rtf, QStringLiteral("\\'ab"), QStringLiteral("\\'bb"), values, RtfEscape, table);
        for (const QString &open :
            { QStringLiteral("\\u171?"), QStringLiteral("\\u171 ?"), QStringLiteral("\\u171\\'ab") }) {
            for (const QString &close :
                { QStringLiteral("\\u187?"), QStringLiteral("\\u187 ?"), QStringLiteral("\\u187\\'bb") })
                found = ReplaceAll(rtf, open, close, values, RtfEscape, table) || found;
        }
        if (found)
            result = rtf.toLatin1();
    } else if (kind == u".odt" || kind == u".ott") {
        result = FillOdt(bytes, fields, &readable);
    }
    if (ok)
        *ok = readable;
    return result;
}

QString DefaultTemplateName()
{
    return QStringLiteral("Invoice.html");
}

QByteArray DefaultTemplate()
{
    return QByteArrayLiteral(R"(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>Invoice «INVOICE_ID»</title>
<style>
body { font-family: "Liberation Sans", Arial, sans-serif; font-size: 11pt; }
table.items { border-collapse: collapse; width: 100%; }
</style>
</head>
<body>
<p><b>«OFFICE_NAME»</b><br>«OFFICE_ADDRESS»<br>«OFFICE_PHONE» «OFFICE_EMAIL»</p>
<p>«PATIENT_NAME»<br>«PATIENT_ADDRESS»</p>
<h2>Invoice «INVOICE_ID»</h2>
<p>Date: «INVOICE_DATE»<br>Amount: «AMOUNT»</p>
<p>«INFO»</p>
<h3>Open items</h3>
«ITEMS»
<p>Total of the open items: <b>«UNPAID_TOTAL»</b></p>
</body>
</html>
)");
}

bool InstallDefaultTemplate(const QString &folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    if (!TemplateNames(folder).isEmpty())
        return true;
    return Files::WriteAtomically(QDir(folder).filePath(DefaultTemplateName()), DefaultTemplate());
}

QString InvoiceHtml(const Fields &fields)
{
    return QString::fromUtf8(Fill(DefaultTemplate(), QStringLiteral(".html"), fields));
}

bool WritePdf(QTextDocument &document, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        document.print(&writer);
    }
    return file.error() == QFileDevice::NoError && file.commit();
}

} // namespace InvoiceDocuments
