#pragma once

#include <QtWidgets/QDialog>

// "Preview Image": one image scaled to fit a resizable window.
class CImagePreviewDialog : public QDialog
{
    Q_OBJECT

public:
    CImagePreviewDialog(const QString &path, QWidget *parent = nullptr);
};
