#include "finance/ui/ManagementDialog.h"

#include "finance/ReferenceList.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CManagementDialog::CManagementDialog(const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_pList(new Korbel::CXListCtrl(this))
    , m_pButtons(new QHBoxLayout)
{
    setWindowTitle(title);
    setSizeGripEnabled(true);
    resize(760, 480);
    m_pList->setObjectName(QStringLiteral("list"));
    auto *layout = new QVBoxLayout(this);
    auto *header = new QLabel(
        tr("Add/Modify by double-clicking on the corresponding row. Select and hit 'Del' to delete."), this);
    header->setWordWrap(true);
    layout->addWidget(header);
    layout->addWidget(m_pList, 1);
    layout->addLayout(m_pButtons);
    m_pButtons->addStretch();
    auto *done = new QPushButton(tr("Done"), this);
    done->setObjectName(QStringLiteral("done"));
    // Return belongs to the list (it opens the selected row).
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    m_pButtons->addWidget(done);
}

void CManagementDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    emit resized();
}

CMedicinesDialog::CMedicinesDialog(QWidget *parent)
    : CManagementDialog(tr("Remedies Management"), parent)
{
    auto *stocks = new QPushButton(tr("Stocks"), this);
    stocks->setObjectName(QStringLiteral("stocks"));
    stocks->setAutoDefault(false);
    connect(stocks, &QPushButton::clicked, this, &CMedicinesDialog::stocksClicked);
    ButtonRow()->insertWidget(0, stocks);
}

CProvidersDialog::CProvidersDialog(QWidget *parent)
    : CManagementDialog(tr("Providers"), parent)
{ }

CStocksDialog::CStocksDialog(QWidget *parent)
    : CManagementDialog(tr("Stocks Management"), parent)
{
    m_clock.start();
    List()->installEventFilter(this);
}

bool CStocksDialog::TypeAhead(QChar typed, qint64 nowMs)
{
    if (nowMs < m_lastKeyMs || nowMs - m_lastKeyMs >= kTypeAheadRestartMs)
        m_prefix.clear();
    m_prefix += typed;
    m_lastKeyMs = nowMs;
    Korbel::CXListCtrl *list = List();
    const int count = list->GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (list->IsItemPlaceHolder(row))
            continue;
        if (Finance::CellValue(list->GetItemText(row, 0)).startsWith(m_prefix, Qt::CaseInsensitive)) {
            list->SetCurSel(row);
            return true;
        }
    }
    return false;
}

bool CStocksDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        // Keys typed into an open cell editor go to the editor, not here.
        if (plain && text.size() == 1 && text.at(0).isLetterOrNumber()) {
            TypeAhead(text.at(0), m_clock.elapsed());
            return true;
        }
    }
    return CManagementDialog::eventFilter(watched, event);
}
