#pragma once

// Free-text fields from which a double click picks a phrase: the field first
// selects the word under the cursor as usual, then the selection, trimmed, is
// offered as a possible rubric. The text of the field is left as it is.

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

class CPhraseLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CPhraseLineEdit(QWidget *parent = nullptr);

signals:
    // A non-empty phrase picked by a double click with the left button.
    void phrasePicked(const QString &phrase);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

class CPhraseTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CPhraseTextEdit(QWidget *parent = nullptr);

signals:
    void phrasePicked(const QString &phrase);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The selection of a field as a phrase: paragraph breaks become spaces, blanks
// at both ends go.
QString PhraseFromSelection(const QString &selection);
