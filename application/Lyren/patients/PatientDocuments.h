#pragma once

#include <QtCore/QString>

class QWidget;

namespace Korbel {
class IXListCtrl;
}

// The patient's documents: the files of the current patient's Pdf folder.

// The documents list of the Patient tab, offered through the context's
// services while the tab exists.
class IPatientDocumentsView
{
public:
    virtual Korbel::IXListCtrl *DocumentsList() = 0;

protected:
    ~IPatientDocumentsView() = default;
};

// What the documents logic offers the rest of the program: a file dropped on
// the header band that is not a picture becomes a document.
class IPatientDocuments
{
public:
    // Copies the file into the current patient's documents folder under its
    // own name (asking before an existing document is replaced) and lists it;
    // 1 when it was added.
    virtual int AddDocument(const QString &path, QWidget *parent) = 0;

protected:
    ~IPatientDocuments() = default;
};
