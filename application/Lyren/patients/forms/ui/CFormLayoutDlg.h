#pragma once

#include "core/CommandCodes.h"
#include "patients/forms/FormInterfaces.h"

#include <QtWidgets/QDialog>

class CFormPage;
class QTabWidget;

// A tabbed form dialog ("Page 1", "Page 2", ...) with OK and Cancel. OK sends
// the form's OK code and closes only when that succeeded; otherwise the
// answers stay on screen with a message, so that nothing typed is lost.
// Cancel, Escape and closing the window send the Cancel code. Phrases picked in
// the pages are sent as CommandCode::PickPhrase.
class CFormLayoutDlg : public QDialog
{
    Q_OBJECT

public:
    struct Codes
    {
        int ok;
        int cancel;
    };

    QTabWidget *Tabs() const { return m_pTabs; }
    int PageCount() const;
    CFormPage *Page(int index) const;
    // The control of a stored field on any page, none when no page shows it.
    QWidget *FieldControl(const QString &table, const QString &field) const;

    void accept() override;
    void reject() override;

protected:
    CFormLayoutDlg(const QString &title, Codes codes, CommandSink sink, QWidget *parent);
    // Adds the page as the next tab, "Page N".
    void AddPage(CFormPage *page);

private:
    void FitToPages();
    int Send(int code, const QString &text = QString());

    Codes m_codes;
    CommandSink m_sink;
    QTabWidget *m_pTabs = nullptr;
};
