#pragma once

#include <QtWidgets/QDialog>
#include <QtWidgets/QWidget>

class QLabel;
class QSlider;

namespace Talmaro {

// Chooses a compression level, 0 (smallest files) to 6 (best quality), and
// says what each level records. Used by the quality dialog and the property
// page.
class CompressionLevelChooser : public QWidget
{
    Q_OBJECT

public:
    explicit CompressionLevelChooser(short level, QWidget *parent = nullptr);

    short Level() const;
    void SetLevel(short level);

signals:
    void LevelChanged(short level);

private:
    void Describe();

    QSlider *m_pSlider;
    QLabel *m_pDescription;
};

// The media quality dialog, shown modally by QueryCompressionLevel.
class CMediaQualityDlg : public QDialog
{
    Q_OBJECT

public:
    // A level outside 0 to 6 shows as the level it records with (3).
    explicit CMediaQualityDlg(short level, QWidget *parent = nullptr);

    short Level() const;

private:
    CompressionLevelChooser *m_pChooser;
};

} // namespace Talmaro
