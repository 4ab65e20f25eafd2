#pragma once

#include "richedit/TextFormats.h"

#include <QtWidgets/QToolBar>

class QComboBox;
class QFontComboBox;

// The "Formatting" bar of the notes: the font face and size of the
// selection, beside the view's formatting commands the frame adds. It tells
// the view what it needs through three signals: it asks for the selection's
// format, it hands a format to apply, and it gives the focus back.
class CFormatBar final : public QToolBar
{
    Q_OBJECT

public:
    static constexpr int BarId = 143;

    explicit CFormatBar(QWidget *parent = nullptr);

    QFontComboBox *FaceBox() const { return m_pFace; }
    QComboBox *SizeBox() const { return m_pSize; }

    // Shows the face and size of a format (empty where the selection mixes them).
    void ShowFormat(const RichEdit::CharFormat &format);
    // Asks for the selection's format again (the selection changed).
    void Refresh() { emit selectionFormatRequested(); }

signals:
    void selectionFormatRequested();
    void formatApplied(const RichEdit::CharFormat &format);
    void focusReturned();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplyFace();
    void ApplySize();

    QFontComboBox *m_pFace;
    QComboBox *m_pSize;
    QString m_strFace;
    QString m_strSize;
    bool m_bShowing = false;
};
