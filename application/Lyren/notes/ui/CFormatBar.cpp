#include "notes/ui/CFormatBar.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFontComboBox>
#include <QtWidgets/QLineEdit>

CFormatBar::CFormatBar(QWidget *parent)
    : QToolBar(tr("Formatting"), parent)
    , m_pFace(new QFontComboBox(this))
    , m_pSize(new QComboBox(this))
{
    setObjectName(QStringLiteral("formattingBar"));
    setProperty("barId", BarId);
    m_pFace->setObjectName(QStringLiteral("fontFace"));
    m_pFace->setToolTip(tr("Font"));
    m_pSize->setObjectName(QStringLiteral("fontSize"));
    m_pSize->setToolTip(tr("Font Size"));
    m_pSize->setEditable(true);
    m_pSize->setInsertPolicy(QComboBox::NoInsert);
    for (const int size : { 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 })
        m_pSize->addItem(QString::number(size));
    m_pSize->setMinimumContentsLength(3);
    addWidget(m_pFace);
    addWidget(m_pSize);
    addSeparator();
    connect(m_pFace, &QComboBox::activated, this, &CFormatBar::ApplyFace);
    connect(m_pSize, &QComboBox::activated, this, &CFormatBar::ApplySize);
    m_pSize->lineEdit()->installEventFilter(this);
    m_pFace->lineEdit()->installEventFilter(this);
}

void CFormatBar::ShowFormat(const RichEdit::CharFormat &format)
{
    const QString face = (format.mask & RichEdit::CharFormat::Face) ? format.face : QString();
    const QString size = (format.mask & RichEdit::CharFormat::Size)
        ? QString::number(double(format.sizeTwips) / RichEdit::TwipsPerPoint)
        : QString();
    // The caret moves at every key; the boxes change only with the format.
    if (face == m_strFace && size == m_strSize && !m_pFace->hasFocus() && !m_pSize->hasFocus())
        return;
    m_strFace = face;
    m_strSize = size;
    m_bShowing = true;
    if (face.isEmpty())
        m_pFace->setEditText(QString());
    else
        m_pFace->setCurrentFont(QFont(face));
    m_pSize->setEditText(size);
    m_bShowing = false;
}

void CFormatBar::ApplyFace()
{
    if (m_bShowing)
        return;
    const QString face = m_pFace->currentFont().family();
    if (face.isEmpty())
        return;
    RichEdit::CharFormat format;
    format.mask = RichEdit::CharFormat::Face;
    format.face = face;
    emit formatApplied(format);
    emit focusReturned();
}

void CFormatBar::ApplySize()
{
    if (m_bShowing)
        return;
    bool ok = false;
    const double points = m_pSize->currentText().trimmed().toDouble(&ok);
    // Sizes a font can take; anything else shows the selection's size again.
    if (!ok || points < 1 || points > 1638) {
        emit selectionFormatRequested();
        return;
    }
    RichEdit::CharFormat format;
    format.mask = RichEdit::CharFormat::Size;
    format.sizeTwips = qRound(points * RichEdit::TwipsPerPoint);
    emit formatApplied(format);
    emit focusReturned();
}

bool CFormatBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_pSize->lineEdit())
                ApplySize();
            else
                ApplyFace();
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit selectionFormatRequested();
            emit focusReturned();
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}
