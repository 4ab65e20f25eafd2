#pragma once

// Invoice documents: the template files, the names of the documents made
// from them, the placeholders a template may hold and their filling for each
// kind of document, the default template, and the PDF form of an invoice.

#include "common/Money.h"

#include <QtCore/QByteArray>
#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

class QTextDocument;

namespace InvoiceDocuments {

// One unpaid item of the patient as the invoice lists it.
struct Line
{
    QDateTime date;
    QString description;
    Verdanta::Money amount;
    Verdanta::Money tax1;
    Verdanta::Money tax2;
};

// The values of the placeholders.
struct Fields
{
    QString patientName;
    QString patientAddress;
    QString invoiceId;
    QString invoiceDate;
    QString amount;
    QString info;
    QString officeName;
    QString officeAddress;
    QString officePhone;
    QString officeEmail;
    std::vector<Line> items;
};

// The placeholder names, each written «NAME» in a template.
QStringList PlaceholderNames();

// A plain file name that cannot lead out of its folder.
bool IsPlainFileName(const QString &name);
// The files of the templates folder (not its sub-folders), by name.
QStringList TemplateNames(const QString &folder);
// The extension of a template: its name from the last "." on ("" without one).
QString Extension(const QString &templateName);
// The document of an invoice made from a template: ID + the template's extension.
QString DocumentName(qint64 invoiceId, const QString &templateName);
// The documents of an invoice in a folder: the files named ID + ".*".
QStringList DocumentNames(const QString &folder, qint64 invoiceId);

// Fills the placeholders of a template's bytes as its kind (the extension)
// requires: plain text, HTML, RTF and OpenDocument text. A template of
// another kind, or one without a placeholder, comes back unchanged. ok is
// false when an OpenDocument template cannot be read as one.
QByteArray Fill(const QByteArray &bytes, const QString &extension, const Fields &fields, bool *ok = nullptr);

// The template installed with the program (an HTML page that uses every
// placeholder) and its file name.
QString DefaultTemplateName();
QByteArray DefaultTemplate();
// Writes the default template into the folder when the folder holds no file.
bool InstallDefaultTemplate(const QString &folder);

// The invoice laid out as the default template lays it out.
QString InvoiceHtml(const Fields &fields);
// Prints a document into a PDF file, written atomically; false on failure.
bool WritePdf(QTextDocument &document, const QString &path);

} // namespace InvoiceDocuments
