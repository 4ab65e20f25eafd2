#pragma once

#include <QtWidgets/QDialog>

class COrderDetails;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// "Add/Modify Orders": the dates, cost, status, description and provider of
// an order set and the tree of its lines with the prescriptions waiting for
// each. Del on a line asks the details to delete it.
class COrderDetailsDialog : public QDialog
{
    Q_OBJECT

public:
    COrderDetailsDialog(COrderDetails &details, QWidget *parent = nullptr);

    QTreeWidget *Tree() const { return m_pTree; }
    QListWidget *Providers() const { return m_pProviders; }
    // Del on the tree's current item.
    void DeleteCurrentItem();

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillTree();
    void showProviderOf(QTreeWidgetItem *item);
    int orderOf(const QTreeWidgetItem *item) const;

    COrderDetails &m_details;
    QDateEdit *m_pCreation;
    QDateEdit *m_pSent;
    QLineEdit *m_pCost;
    QLineEdit *m_pStatus;
    QPlainTextEdit *m_pDescription;
    QListWidget *m_pProviders;
    QTreeWidget *m_pTree;
    int m_currentOrder = 0;
};
