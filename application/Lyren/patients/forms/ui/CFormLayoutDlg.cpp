#include "patients/forms/ui/CFormLayoutDlg.h"
#include "core/CommandCodes.h"

#include "core/LogicCommand.h"
#include "desktop/Prompts.h"
#include "patients/forms/ui/CFormPage.h"

#include <QtGui/QScreen>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

CFormLayoutDlg::CFormLayoutDlg(const QString &title, Codes codes, CommandSink sink, QWidget *parent)
    : QDialog(parent)
    , m_codes(codes)
    , m_sink(std::move(sink))
{
    setWindowTitle(title);
    setSizeGripEnabled(true);
    m_pTabs = new QTabWidget(this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFormLayoutDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFormLayoutDlg::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs, 1);
    layout->addWidget(buttons);
}

void CFormLayoutDlg::AddPage(CFormPage *page)
{
    m_pTabs->addTab(page, tr("Page %1").arg(m_pTabs->count() + 1));
    connect(page, &CFormPage::phrasePicked, this,
        [this](const QString &phrase) { Send(CommandCode::PickPhrase, phrase); });
    FitToPages();
}

void CFormLayoutDlg::FitToPages()
{
    // Wide enough that no page scrolls sideways, as tall as the longest page
    // needs, and never larger than the screen: long pages scroll.
    QSize content;
    for (int i = 0; i < PageCount(); ++i)
        content = content.expandedTo(Page(i)->ContentSizeHint());
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize wanted(content.width() + scrollBar + 48, content.height() + 110);
    if (const QScreen *screen = this->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 0.9);
    resize(wanted.expandedTo(QSize(640, 480)));
}

int CFormLayoutDlg::PageCount() const
{
    return m_pTabs->count();
}

CFormPage *CFormLayoutDlg::Page(int index) const
{
    return qobject_cast<CFormPage *>(m_pTabs->widget(index));
}

QWidget *CFormLayoutDlg::FieldControl(const QString &table, const QString &field) const
{
    for (int i = 0; i < PageCount(); ++i) {
        if (QWidget *control = Page(i)->FieldControl(table, field))
            return control;
    }
    return nullptr;
}

int CFormLayoutDlg::Send(int code, const QString &text)
{
    if (!m_sink)
        return 0;
    LogicCommand command;
    command.code = code;
    command.text = text;
    command.control = this;
    return m_sink(command);
}

void CFormLayoutDlg::accept()
{
    if (Send(m_codes.ok)) {
        QDialog::accept();
        return;
    }
    Desktop::Inform(this,
        tr("The answers could not be saved.\nPress OK to try again, or Cancel to discard the changes."),
        Desktop::Icon::Warning);
}

void CFormLayoutDlg::reject()
{
    Send(m_codes.cancel);
    QDialog::reject();
}
