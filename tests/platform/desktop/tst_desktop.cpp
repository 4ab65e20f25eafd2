#include "desktop/FileDialogs.h"
#include "desktop/Prompts.h"
#include "desktop/Shell.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Desktop;

TEST(Desktop, ScriptedPromptsAnswerInOrderAndFitTheButtons)
{
    {
        ScriptedPrompts prompts;
        EXPECT_EQ(&Prompts(), &prompts);
        prompts.QueueAnswer(Answer::No);
        EXPECT_FALSE(AskYesNo(nullptr, QStringLiteral("Delete?")));
        EXPECT_TRUE(AskYesNo(nullptr, QStringLiteral("Again?"))); // default answers yes
        prompts.SetDefaultAnswer(Answer::Cancel);
        EXPECT_EQ(Prompts().Show(nullptr, QStringLiteral("x"), Buttons::YesNo, Icon::Question), Answer::No);
        EXPECT_EQ(Prompts().Show(nullptr, QStringLiteral("y"), Buttons::Ok, Icon::Warning), Answer::Ok);
        Inform(nullptr, QStringLiteral("Done"));
        EXPECT_EQ(prompts.Texts(),
            (QStringList { QStringLiteral("Delete?"), QStringLiteral("Again?"), QStringLiteral("x"),
                QStringLiteral("y"), QStringLiteral("Done") }));
        EXPECT_EQ(prompts.LastIcon(), Icon::Information);
        {
            ScriptedPrompts inner;
            Inform(nullptr, QStringLiteral("inner"));
            EXPECT_EQ(inner.Count(), 1);
        }
        Inform(nullptr, QStringLiteral("outer"));
        EXPECT_EQ(prompts.LastText(), QStringLiteral("outer"));
    }
    EXPECT_NE(dynamic_cast<MessageBoxPrompts *>(&Prompts()), nullptr);
}

TEST(Desktop, FiltersConvertAndScriptedDialogsRecord)
{
    EXPECT_EQ(QtFilterFromPlatformFilter(
                  QStringLiteral("Document Files (*.doc; *.rtf)| *.doc; *.rtf|All files (*.*)|*.*||")),
        QStringLiteral("Document Files (*.doc *.rtf);;All files (*)"));
    EXPECT_EQ(QtFilterFromPlatformFilter(QString()), QString());

    ScriptedFileDialogs dialogs;
    dialogs.QueueFileName(QStringLiteral("/a/b.doc"));
    dialogs.QueueFileName(QString());
    dialogs.QueueColor(Qt::red);
    EXPECT_EQ(FileDialogs().GetOpenFileName(
                  nullptr, QStringLiteral("Open"), QStringLiteral("/a"), QStringLiteral("f")),
        QStringLiteral("/a/b.doc"));
    EXPECT_EQ(
        FileDialogs().GetSaveFileName(nullptr, QStringLiteral("Save"), QString(), QString()), QString());
    EXPECT_EQ(FileDialogs().GetOpenFileName(nullptr, QString(), QString(), QString()), QString());
    EXPECT_EQ(FileDialogs().GetColor(nullptr, Qt::blue), QColor(Qt::red));
    EXPECT_FALSE(FileDialogs().GetColor(nullptr, Qt::blue).isValid());
    ASSERT_EQ(dialogs.Requests().size(), 5u);
    EXPECT_EQ(dialogs.Requests()[0].caption, QStringLiteral("Open"));
    EXPECT_EQ(dialogs.Requests()[0].folder, QStringLiteral("/a"));
    EXPECT_EQ(dialogs.Requests()[1].kind, QStringLiteral("save"));
}

TEST(Desktop, ScriptedShellRecordsLaunches)
{
    ScriptedShell shell;
    shell.SetResult(false);
    EXPECT_FALSE(Shell().Open(QStringLiteral("VerdantaHelp.pdf")));
    EXPECT_FALSE(Shell().Open(QStringLiteral("/tmp"), QStringLiteral("explore")));
    ASSERT_EQ(shell.Launches().size(), 2u);
    EXPECT_EQ(shell.Launches()[0].verb, QStringLiteral("open"));
    EXPECT_EQ(shell.Launches()[1].target, QStringLiteral("/tmp"));
    EXPECT_FALSE(DesktopServicesShell().Open(QString(), QStringLiteral("open")));
}
