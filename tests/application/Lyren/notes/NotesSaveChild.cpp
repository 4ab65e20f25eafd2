// Saves a patient's notes over and over until it is killed: every round
// appends the marker " [k]" and an image "k.png" to the notes, and every
// fourth round deletes the image of the round before. After each save that
// reported success it prints "saved k". The parent kills it at random moments
// and checks that the database holds the notes and rows of one whole save.
#include "notes/CLogicNotes.h"
#include "shell/CLogicMain.h"

#include "core/CommandCodes.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QThread>
#include <QtGui/QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    CLogicMain hub(root, root + QStringLiteral("windows"));
    if (!hub.Open())
        return 3;
    CLogicNotes *notes = hub.Services().Get<CLogicNotes>();
    if (!notes)
        return 4;
    CActiveEditor &editor = notes->ActiveEditor();
    const RichEdit::RichDocument &rich = editor.Document().Rich();
    // Going on from the last round stored.
    int round = 0;
    const QString text = rich.textRange(0, rich.textLength());
    QRegularExpressionMatchIterator markers
        = QRegularExpression(QStringLiteral(" \\[(\\d+)\\]")).globalMatch(text);
    while (markers.hasNext())
        round = markers.next().captured(1).toInt();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (;;) {
        ++round;
        editor.SetCaret(-1);
        editor.InsertText(QStringLiteral(" [%1]").arg(round));
        auto image = editor.CreateTemplate(ItemProxy::LumiskProxy);
        static_cast<CActiveEditorImageItem &>(*image).m_strFilePath = QStringLiteral("%1.png").arg(round);
        if (!editor.InsertFromTemplate(*image))
            return 5;
        if (round % 4 == 0) {
            ItemList items;
            editor.CollectItems(items);
            for (CActiveEditorClientItem *item : items) {
                if (item->Kind() == ItemKind::Image
                    && static_cast<CActiveEditorImageItem *>(item)->m_strFilePath
                        == QStringLiteral("%1.png").arg(round - 1))
                    editor.DeleteRange(item->m_nCharPos, item->m_nCharPos + 1);
            }
        }
        LogicCommand save;
        save.code = CommandCode::SavePatient;
        if (hub.OnCommand(save) != 1)
            return 6;
        std::printf("saved %d\n", round);
        std::fflush(stdout);
        QThread::msleep(3);
    }
}
