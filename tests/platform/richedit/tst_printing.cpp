#include "RichEditTestSupport.h"

#include "richedit/widgets/RichEditControl.h"

#include <QtCore/QFile>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>

#include <gtest/gtest.h>

using namespace RichEdit;

namespace {

// A few pages of notes with an object in every tenth paragraph.
void fillNotes(RichEditControl &control, int paragraphs)
{
    QTextCursor cursor(control.document());
    for (int i = 0; i < paragraphs; ++i) {
        cursor.insertText(QStringLiteral("Consultation line %1: the patient reports sleeping better, "
                                         "less headache in the mornings and more appetite.")
                              .arg(i));
        cursor.insertBlock();
    }
    for (int i = 0; i < paragraphs; i += 10)
        ASSERT_TRUE(control.insertObject(1, 1000 + i, control.document()->findBlockByNumber(i).position()));
}

// Pages the way the notes print loop does: next start from each page.
std::vector<int> pageStarts(
    RichEditControl &control, QPaintDevice *device, QPainter *painter, const QRectF &page)
{
    std::vector<int> starts;
    int from = 0;
    while (from < control.textLength() && starts.size() < 1000) {
        starts.push_back(from);
        if (painter && starts.size() > 1)
            static_cast<QPdfWriter *>(device)->newPage();
        const int next = control.formatRange(device, painter, page, from);
        EXPECT_GT(next, from);
        if (next <= from)
            break;
        from = next;
    }
    return starts;
}

} // namespace

TEST(Printing, LongNotesBreakIntoPagesOfAPdf)
{
    RichEditControl control;
    RichEditTest::BoxHandler handler;
    control.registerObjectHandler(1, &handler);
    fillNotes(control, 120);

    TestSupport::TemporaryFolder folder;
    const QString path = folder.filePath(QStringLiteral("notes.pdf"));
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    // The notes margins: 1440 twips left and top, 720 right and bottom.
    const qreal dpi = writer.resolution();
    const QRectF page(dpi, dpi, writer.width() - 1.5 * dpi, writer.height() - 1.5 * dpi);

    // Measuring alone gives the same breaks as printing.
    const std::vector<int> measured = pageStarts(control, &writer, nullptr, page);
    ASSERT_GT(measured.size(), 2u);
    QPainter painter(&writer);
    const std::vector<int> printed = pageStarts(control, &writer, &painter, page);
    painter.end();
    EXPECT_EQ(printed, measured);
    EXPECT_GT(handler.printDraws, 0);
    EXPECT_EQ(handler.screenDraws, 0);

    // Pages begin at line starts and every page is full but the last.
    for (size_t i = 1; i < printed.size(); ++i)
        EXPECT_GT(printed[i] - printed[i - 1], 500);

    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    EXPECT_EQ(content.count("/Type /Page\n") + content.count("/Type /Page\r") + content.count("/Type /Page "),
        qsizetype(printed.size()));

    // A half-height page needs about twice the pages.
    const QRectF half(page.topLeft(), QSizeF(page.width(), page.height() / 2));
    const size_t halves = pageStarts(control, &writer, nullptr, half).size();
    EXPECT_GE(halves, 2 * measured.size() - 2);
}

TEST(Printing, RangesAndEmptyTextEndAtOnce)
{
    RichEditControl control;
    QImage device(800, 1000, QImage::Format_ARGB32);
    const QRectF page(50, 50, 700, 900);
    EXPECT_EQ(control.formatRange(&device, nullptr, page, 0), 0);

    fillNotes(control, 3);
    const int length = control.textLength();
    EXPECT_EQ(control.formatRange(&device, nullptr, page, 0), length) << "short text fits one page";
    EXPECT_EQ(control.formatRange(&device, nullptr, page, 0, 30), 30);
    EXPECT_EQ(control.formatRange(&device, nullptr, QRectF(), 0), 0) << "an empty page formats nothing";

    // A page too small for one line still takes one, so the print loop ends.
    const int next = control.formatRange(&device, nullptr, QRectF(0, 0, 700, 2), 0);
    EXPECT_GT(next, 0);
    EXPECT_LT(next, length);

    // Editing invalidates the kept layout.
    QTextCursor(control.document()).insertText(QString(3000, u'x'));
    EXPECT_LT(control.formatRange(&device, nullptr, QRectF(0, 0, 700, 100), 0), 3000);
}
