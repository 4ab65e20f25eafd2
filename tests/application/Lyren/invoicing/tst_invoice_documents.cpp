// Invoice documents: names from templates, placeholders filled in every kind
// of template, deletion of every document, the PDF export read back.
#include "InvoicingTestUtil.h"

#include "invoicing/InvoiceDocument.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <unistd.h>

using namespace InvoicingTest;
namespace Docs = InvoiceDocuments;

namespace {

Docs::Fields SampleFields()
{
    Docs::Fields fields;
    fields.patientName = QStringLiteral("Anna Pop");
    fields.patientAddress = QStringLiteral("Linden St 4\n1010 Vienna");
    fields.invoiceId = QStringLiteral("17");
    fields.invoiceDate = QStringLiteral("02/03/2026");
    fields.amount = QStringLiteral("112.50");
    fields.officeName = QStringLiteral("Green & Co {Practice}");
    fields.items.push_back({ QDateTime(QDate(2026, 3, 2), QTime(10, 0)), QStringLiteral("Consultation"),
        Cents(10000), Cents(500), Cents(750) });
    return fields;
}

QByteArray Zip(const std::vector<std::pair<QString, QByteArray>> &entries)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    EXPECT_TRUE(zip.open(QuaZip::mdCreate));
    for (const auto &[name, data] : entries) {
        QuaZipFile file(&zip);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)));
        file.write(data);
        file.close();
    }
    zip.close();
    return bytes;
}

QByteArray Unzip(const QByteArray &bytes, const QString &name, QStringList *order = nullptr)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    QuaZip zip(&buffer);
    EXPECT_TRUE(zip.open(QuaZip::mdUnzip));
    QByteArray found;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        if (order)
            order->append(zip.getCurrentFileName());
        if (zip.getCurrentFileName() == name) {
            QuaZipFile file(&zip);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            found = file.readAll();
        }
    }
    return found;
}

} // namespace

TEST(InvoiceDocumentNames, TheExtensionIsTheTemplateNameFromItsLastDot)
{
    EXPECT_EQ(Docs::DocumentName(42, QStringLiteral("letter.v2.rtf")), QStringLiteral("42.rtf"));
    EXPECT_EQ(Docs::DocumentName(42, QStringLiteral("plain")), QStringLiteral("42"));
    EXPECT_FALSE(Docs::IsPlainFileName(QStringLiteral("../data.mdb")));
    EXPECT_FALSE(Docs::IsPlainFileName(QStringLiteral("..")));
}

TEST(InvoiceTemplates, PlaceholdersAreFilledInEveryKindOfTemplate)
{
    const Docs::Fields fields = SampleFields();
    const QString name = QString(QChar(0xAB)) + QStringLiteral("PATIENT_NAME") + QChar(0xBB);
    const QString items = QString(QChar(0xAB)) + QStringLiteral("ITEMS") + QChar(0xBB);

    const QByteArray text
        = Docs::Fill((QStringLiteral("Dear ") + name + QStringLiteral("\n") + items).toUtf8(),
            QStringLiteral(".txt"), fields);
    EXPECT_TRUE(text.contains("Dear Anna Pop"));
    EXPECT_TRUE(text.contains("Consultation"));
    EXPECT_TRUE(text.contains(Verdanta::FormatMoneyForDisplay(Cents(11250)).toUtf8()));

    const QByteArray html = Docs::Fill(
        QByteArrayLiteral(
            "<p>&laquo;OFFICE_NAME&raquo; for &#171;PATIENT_NAME&#187;</p><div>\xc2\xabITEMS\xc2\xbb</div>"),
        QStringLiteral(".HTML"), fields);
    EXPECT_TRUE(html.contains("Green &amp; Co {Practice} for Anna Pop"));
    EXPECT_TRUE(html.contains("<table"));
    EXPECT_FALSE(html.contains("ITEMS"));

    const QByteArray rtf = Docs::Fill(
        QByteArrayLiteral(
            "{\\rtf1\\ansi \\'abOFFICE_NAME\\'bb \\u171?PATIENT_ADDRESS\\u187?\\par \\'abITEMS\\'bb}"),
        QStringLiteral(".rtf"), fields);
    EXPECT_TRUE(rtf.contains("Green & Co \\{Practice\\}"));
    EXPECT_TRUE(rtf.contains("Linden St 4\\line 1010 Vienna"));
    EXPECT_TRUE(rtf.contains("\\trowd"));
    EXPECT_TRUE(rtf.contains("Consultation\\cell"));

    const QByteArray content = (QStringLiteral("<office:document-content><office:body><office:text>"
                                               "<text:p>")
        + name + QStringLiteral(" &amp; ") + QString(QChar(0xAB)) + QStringLiteral("OFFICE_NAME")
        + QChar(0xBB) + QStringLiteral("</text:p><text:p text:style-name=\"P1\">") + items
        + QStringLiteral("</text:p></office:text></office:body></office:document-content>"))
                                   .toUtf8();
    const QByteArray odt = Zip({ { QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text" },
        { QStringLiteral("content.xml"), content },
        { QStringLiteral("META-INF/manifest.xml"), "<manifest/>" } });
    bool ok = false;
    const QByteArray filled = Docs::Fill(odt, QStringLiteral(".odt"), fields, &ok);
    ASSERT_TRUE(ok);
    QStringList order;
    const QByteArray xml = Unzip(filled, QStringLiteral("content.xml"), &order);
    EXPECT_TRUE(xml.contains("<text:p>Anna Pop &amp; Green &amp; Co {Practice}</text:p>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<table:table "));
    EXPECT_TRUE(xml.contains("<text:p>Consultation</text:p>"));
    EXPECT_EQ(order.value(0), QStringLiteral("mimetype"));
    EXPECT_EQ(Unzip(filled, QStringLiteral("META-INF/manifest.xml")), QByteArray("<manifest/>"));

    // Templates without placeholders, and kinds without any, stay byte for byte.
    const QByteArray plain = QByteArrayLiteral("{\\rtf1 no placeholders here}");
    EXPECT_EQ(Docs::Fill(plain, QStringLiteral(".rtf"), fields), plain);
    EXPECT_EQ(Docs::Fill(odt, QStringLiteral(".doc"), fields), odt);
    // A file named .odt that is no archive is reported, and left as it is.
    EXPECT_EQ(Docs::Fill(plain, QStringLiteral(".odt"), fields, &ok), plain);
    EXPECT_FALSE(ok);
}

class InvoiceFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(practice.Open());
        templates = practice.hub->GetLogicFolders()->GetInvoiceTemplatesFolder();
        invoices = practice.hub->GetLogicFolders()->GetInvoicesFolder();
    }
    CLogicInvoices &Invoices() { return practice.Finance().Invoices(); }
    void WriteTemplate(const QString &name, const QByteArray &bytes)
    {
        QFile file(QDir(templates).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    qint64 NewInvoice(const QString &templateName)
    {
        InvoiceDetails details;
        details.amount = QStringLiteral("112.50");
        details.date = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
        details.info = QStringLiteral("March");
        details.chosenTemplate = templateName;
        return Invoices().Store(0, details, nullptr);
    }

    Practice practice;
    QString templates;
    QString invoices;
};

TEST_F(InvoiceFiles, ANewInvoiceGetsItsFilledDocumentOpenedAndDeletionRemovesEveryDocument)
{
    // Until templates are asked for, the folder stays as it is.
    EXPECT_TRUE(Docs::TemplateNames(templates).isEmpty());
    practice.menus.QueueChoice(-1);
    Invoices().TemplatesMenu(nullptr, QPoint());
    // The program's template came into the empty folder.
    EXPECT_EQ(Docs::TemplateNames(templates), QStringList { Docs::DefaultTemplateName() });
    WriteTemplate(QStringLiteral("letter.v2.rtf"), QByteArrayLiteral("{\\rtf1 \\'abPATIENT_NAME\\'bb}"));

    const qint64 id = NewInvoice(QStringLiteral("letter.v2.rtf"));
    ASSERT_GT(id, 0);
    const QString document = QDir(invoices).filePath(QString::number(id) + QStringLiteral(".rtf"));
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("{\\rtf1 Anna Pop}"));
    ASSERT_FALSE(practice.shell.Launches().empty());
    EXPECT_EQ(practice.shell.Launches().back().target, document);
    EXPECT_EQ(Invoices().Total(), Cents(11250));

    // No template chosen: the first of the folder.
    const qint64 second = NewInvoice(QString());
    EXPECT_TRUE(
        QFileInfo::exists(QDir(invoices).filePath(QString::number(second) + QStringLiteral(".html"))));

    // Every file named ID + any extension goes, folders and other IDs stay.
    for (const char *extra : { ".pdf", ".bak", ".rtf.old" })
        QFile(QDir(invoices).filePath(QString::number(id) + QLatin1String(extra))).open(QIODevice::WriteOnly);
    QDir(invoices).mkdir(QString::number(id) + QStringLiteral(".folder"));
    ASSERT_TRUE(Invoices().Delete(id, nullptr));
    EXPECT_EQ(Docs::DocumentNames(invoices, id), QStringList());
    EXPECT_TRUE(QFileInfo(QDir(invoices).filePath(QString::number(id) + QStringLiteral(".folder"))).isDir());
    EXPECT_EQ(Docs::DocumentNames(invoices, second).size(), 1);
    EXPECT_EQ(Invoices().Items().size(), 1u);
}

TEST_F(InvoiceFiles, WithoutATemplateTheRecordStaysAndThePersonIsTold)
{
    // The templates folder cannot be made: a file stands in its place.
    QDir(templates).removeRecursively();
    QDir().mkpath(QFileInfo(QDir::cleanPath(templates)).path());
    ASSERT_TRUE(QFile(QDir::cleanPath(templates)).open(QIODevice::WriteOnly));
    const qint64 id = NewInvoice(QString());
    EXPECT_GT(id, 0);
    EXPECT_EQ(practice.prompts.LastText(), CLogicInvoices::CreateFailedText());
    EXPECT_EQ(Invoices().Items().size(), 1u);
    // A template name that would lead out of the folder is no template.
    practice.prompts.Clear();
    NewInvoice(QStringLiteral("../data.mdb"));
    EXPECT_EQ(practice.prompts.LastText(), CLogicInvoices::CreateFailedText());
}

TEST_F(InvoiceFiles, ADocumentThatCannotBeRemovedKeepsItsRecord)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop the superuser from removing files";
    const qint64 id = NewInvoice(QString());
    QFile::setPermissions(invoices, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(Invoices().Delete(id, nullptr));
    QFile::setPermissions(invoices, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(practice.prompts.LastText(), CLogicInvoices::DeleteFailedText());
    EXPECT_EQ(Invoices().Items().size(), 1u);
    EXPECT_EQ(Docs::DocumentNames(invoices, id).size(), 1);
}

TEST_F(InvoiceFiles, TheTemplatesMenuOpensATemplateOrTheFolder)
{
    QDir().mkpath(templates);
    WriteTemplate(QStringLiteral("b.odt"), Zip({ { QStringLiteral("mimetype"), "x" } }));
    practice.menus.QueueChoice(QStringLiteral("b.odt"));
    EXPECT_EQ(Invoices().TemplatesMenu(nullptr, QPoint()), 1);
    EXPECT_EQ(practice.menus.LastEntries(),
        (QStringList { QStringLiteral("b.odt"), CLogicInvoices::EditTemplatesEntry() }));
    EXPECT_EQ(practice.shell.Launches().back().target, QDir(templates).filePath(QStringLiteral("b.odt")));
    practice.menus.QueueChoice(CLogicInvoices::EditTemplatesEntry());
    EXPECT_EQ(Invoices().TemplatesMenu(nullptr, QPoint()), 1);
    EXPECT_EQ(practice.shell.Launches().back().verb, QStringLiteral("explore"));
}

TEST_F(InvoiceFiles, ThePdfExportHoldsTheFilledInvoice)
{
    practice.AddCharge(false, false, true, QDate(2026, 3, 2), QStringLiteral("80"), QStringLiteral("4"),
        QStringLiteral("6"));
    const qint64 id = NewInvoice(Docs::DefaultTemplateName());
    const QString pdf = Invoices().ExportPdf(id, nullptr);
    ASSERT_FALSE(pdf.isEmpty());
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QString text = QString::fromUtf8(reader.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Anna Pop"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Green Practice")));
    EXPECT_TRUE(text.contains(QStringLiteral("Invoice ") + QString::number(id)));
    EXPECT_TRUE(text.contains(Verdanta::FormatMoneyForDisplay(Cents(9000))));
    // The PDF is one of the invoice's documents: it goes with the invoice.
    EXPECT_TRUE(Docs::DocumentNames(invoices, id).contains(QString::number(id) + QStringLiteral(".pdf")));
}
