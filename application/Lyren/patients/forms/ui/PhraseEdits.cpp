#include "patients/forms/ui/PhraseEdits.h"

#include <QtGui/QMouseEvent>

QString PhraseFromSelection(const QString &selection)
{
    QString phrase = selection;
    // A selection in a multi-line edit separates paragraphs with U+2029.
    phrase.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    phrase.replace(QChar::LineSeparator, QLatin1Char(' '));
    return phrase.trimmed();
}

CPhraseLineEdit::CPhraseLineEdit(QWidget *parent)
    : QLineEdit(parent)
{ }

void CPhraseLineEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QString phrase = PhraseFromSelection(selectedText());
    if (!phrase.isEmpty())
        emit phrasePicked(phrase);
}

CPhraseTextEdit::CPhraseTextEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // Tab moves to the next field, as in every other control of the form.
    setTabChangesFocus(true);
}

void CPhraseTextEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QString phrase = PhraseFromSelection(textCursor().selectedText());
    if (!phrase.isEmpty())
        emit phrasePicked(phrase);
}
