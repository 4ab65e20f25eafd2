#pragma once

#include <QtWidgets/QDialog>

// The About box: the program icon, the version line and an OK button.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    QString VersionText() const;

private:
    class QLabel *m_pVersion;
};
