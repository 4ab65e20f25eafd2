#pragma once

#include <QtWidgets/QDialog>

class QSlider;

// "Image Quality": a slider from performance (0) to quality (100).
class CImageQualityDialog : public QDialog
{
    Q_OBJECT

public:
    CImageQualityDialog(int quality, QWidget *parent = nullptr);

    int Quality() const;

private:
    QSlider *m_pSlider = nullptr;
};
