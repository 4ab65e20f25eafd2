#pragma once

#include "Lumisk/ILumisk.h"
#include "Lumisk/LumiskPrompts.h"
#include "support/TestSupport.h"

#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtGui/QImage>

#include <gtest/gtest.h>

#include <functional>

class QDialog;

namespace LumiskTest {

// 40 x 20: the left half red, the right half blue, a green 10 x 10 square in
// the top-left corner, so that every turn and flip shows.
QImage MarkedImage();
// Colour gradients with deterministic noise, compressing like a photo.
QImage PhotoImage(int width, int height);
bool WriteImage(const QImage &image, const QString &path, const char *format = nullptr, int quality = -1);
// True when every channel is within tolerance.
bool Near(QRgb pixel, const QColor &color, int tolerance = 48);
// Where the marks of MarkedImage() are once it is turned or flipped.
enum class Mark { Red, Blue, Green };
Mark MarkAt(const QImage &image, double xFraction, double yFraction);
QByteArray ReadFile(const QString &path);
QStringList FolderEntries(const QString &folder);

// Calls act with the next modal dialog once it shows, then closes it if act did
// not. A dialog that does not show within a few seconds fails the test.
void OnNextModal(const std::function<void(QDialog *)> &act);

// Prompts that answer from the test.
class FakePrompts : public ILumiskPrompts
{
public:
    QString GetOpenFileName(QWidget *, const QString &caption, const QString &filter) override
    {
        lastCaption = caption;
        lastFilter = filter;
        return nextFile;
    }
    bool Confirm(QWidget *, const QString &, const QString &) override
    {
        ++confirmations;
        return answer;
    }

    QString nextFile;
    bool answer = true;
    QString lastCaption;
    QString lastFilter;
    int confirmations = 0;
};

// A manager with a reference held, an empty images folder ("Images/" inside a
// temporary folder whose root takes the source files) and the fake prompts.
class ManagerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes a source file at the temporary root and returns its path.
    QString Source(const QString &name, const QImage &image, const char *format = nullptr);
    // Writes an image straight into the images folder and returns its path.
    QString InFolder(const QString &name, const QImage &image, const char *format = nullptr);

    TestSupport::TemporaryFolder m_folder;
    QString m_imagesFolder;
    FakePrompts m_prompts;
    ILumisk *m_pLumisk = nullptr;
};

} // namespace LumiskTest
