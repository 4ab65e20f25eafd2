#pragma once

#include <QtCore/QElapsedTimer>
#include <QtWidgets/QDialog>

namespace Korbel {
class CXListCtrl;
}
class QHBoxLayout;

// The frame of the reference management dialogs: the header that explains
// double click and Del, the list, a row of buttons ending with "Done".
class CManagementDialog : public QDialog
{
    Q_OBJECT

public:
    CManagementDialog(const QString &title, QWidget *parent);

    Korbel::CXListCtrl *List() const { return m_pList; }

signals:
    // The list changed size: its columns may be laid out again.
    void resized();

protected:
    // Buttons added here stand before "Done".
    QHBoxLayout *ButtonRow() const { return m_pButtons; }
    void resizeEvent(QResizeEvent *event) override;

private:
    Korbel::CXListCtrl *m_pList;
    QHBoxLayout *m_pButtons;
};

// "Remedies Management", with its "Stocks" button.
class CMedicinesDialog : public CManagementDialog
{
    Q_OBJECT

public:
    explicit CMedicinesDialog(QWidget *parent = nullptr);

signals:
    void stocksClicked();
};

// "Providers".
class CProvidersDialog : public CManagementDialog
{
    Q_OBJECT

public:
    explicit CProvidersDialog(QWidget *parent = nullptr);
};

// "Stocks Management". Letters and digits typed in the list jump to the first
// row whose remedy name starts with what was typed; the typed prefix starts
// again after half a second without a key.
class CStocksDialog : public CManagementDialog
{
    Q_OBJECT

public:
    explicit CStocksDialog(QWidget *parent = nullptr);

    static constexpr qint64 kTypeAheadRestartMs = 500;

    // One typed character at a time in milliseconds (any steady clock);
    // true when a row was found and selected.
    bool TypeAhead(QChar typed, qint64 nowMs);
    QString TypedPrefix() const { return m_prefix; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_prefix;
    qint64 m_lastKeyMs = 0;
    QElapsedTimer m_clock;
};
