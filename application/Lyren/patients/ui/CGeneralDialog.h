#pragma once

#include "core/LogicCommand.h"
#include "core/Views.h"

#include <QtCore/QHash>
#include <QtWidgets/QWidget>

#include <memory>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace Korbel {
class CXListCtrl;
}

// The "Patient" tab: every field of the patient's MAIN row, bound through the
// hub, so that every move shows the patient and every save takes back what
// was typed. "Search" chooses the linked account (code 26); the documents
// list, its buttons and the appointment link send their codes to the logic
// objects that own them (29, 30, 31, 80, 72). The documents list is offered
// to the documents logic, which fills it.
class CGeneralDialog : public QWidget, public IPage
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 0;

    explicit CGeneralDialog(QWidget *parent = nullptr);
    ~CGeneralDialog() override;

    // IPage: the look-up combos are filled, every field bound, and the
    // documents list offered to its logic and filled.
    void Attach(CLogicMain *hub) override;
    // The amount edits follow their insurance check boxes.
    void Refresh() override;

    // The control bound to a MAIN field, none for other names.
    QWidget *FieldControl(const QString &field) const { return m_fields.value(field); }
    QPushButton *SearchButton() const { return m_pSearch; }
    QPushButton *ImportButton() const { return m_pImport; }
    QPushButton *DeleteDocumentButton() const { return m_pDeleteDocument; }
    QAbstractButton *AppointmentLink() const { return m_pAppointment; }
    Korbel::CXListCtrl *DocumentsList() const { return m_pDocuments; }

    // Sends the paths of files dropped on the page: code 30 with the first.
    void DropFiles(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class DocumentsView;

    template<typename Control> Control *AddField(const QString &field, Control *control);
    QLineEdit *AddLineEdit(const QString &field);
    QCheckBox *AddCheckBox(const QString &field, const QString &text);
    int Send(int code, QWidget *control, const QString &text = QString());
    void OnSearch();
    void BindFields();

    CLogicMain *m_pHub = nullptr;
    QHash<QString, QWidget *> m_fields;
    QPushButton *m_pSearch = nullptr;
    QPushButton *m_pImport = nullptr;
    QPushButton *m_pDeleteDocument = nullptr;
    QAbstractButton *m_pAppointment = nullptr;
    Korbel::CXListCtrl *m_pDocuments = nullptr;
    std::unique_ptr<DocumentsView> m_pDocumentsView;
};
