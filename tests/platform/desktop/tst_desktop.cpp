#include "desktop/widgets/WidgetDialogs.h"
#include "support/ScriptedDesktop.h"
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
    // Nobody installed: nothing is confirmed unseen.
    EXPECT_EQ(Prompts().Show(nullptr, QStringLiteral("Delete?"), Buttons::YesNo, Icon::Question), Answer::No);
    EXPECT_EQ(
        Prompts().Show(nullptr, QStringLiteral("Go?"), Buttons::OkCancel, Icon::Question), Answer::Cancel);
    EXPECT_EQ(Prompts().Show(nullptr, QStringLiteral("Done"), Buttons::Ok, Icon::Information), Answer::Ok);
    {
        WidgetDialogs platform;
        EXPECT_NE(dynamic_cast<MessageBoxPrompts *>(&Prompts()), nullptr);
        EXPECT_NE(dynamic_cast<QtFileDialogs *>(&FileDialogs()), nullptr);
        EXPECT_NE(dynamic_cast<WidgetMenus *>(&Menus()), nullptr);
        {
            ScriptedPrompts scripted;
            EXPECT_EQ(&Prompts(), &scripted);
        }
        EXPECT_NE(dynamic_cast<MessageBoxPrompts *>(&Prompts()), nullptr);
    }
    {
        // Stand-ins installed first stay in place.
        ScriptedPrompts scripted;
        WidgetDialogs platform;
        EXPECT_EQ(&Prompts(), &scripted);
        EXPECT_NE(dynamic_cast<QtFileDialogs *>(&FileDialogs()), nullptr);
    }
    EXPECT_EQ(dynamic_cast<MessageBoxPrompts *>(&Prompts()), nullptr);
    EXPECT_EQ(FileDialogs().GetOpenFileName(nullptr, {}, {}, {}), QString());
    EXPECT_EQ(Menus().Popup(nullptr, {}, { QStringLiteral("a") }), -1);
}

TEST(Desktop, ScriptedMenusChooseByIndexOrText)
{
    ScriptedMenus menus;
    const QStringList entries { QStringLiteral("Add"), QString(), QStringLiteral("Delete") };
    menus.QueueChoice(2);
    menus.QueueChoice(QStringLiteral("Add"));
    menus.QueueChoice(QStringLiteral("Missing"));
    menus.QueueChoice(7);
    EXPECT_EQ(Menus().Popup(nullptr, QPoint(3, 4), entries), 2);
    EXPECT_EQ(Menus().Popup(nullptr, QPoint(), entries), 0);
    EXPECT_EQ(Menus().Popup(nullptr, QPoint(), entries), -1);
    EXPECT_EQ(Menus().Popup(nullptr, QPoint(), entries), -1); // out of range
    EXPECT_EQ(Menus().Popup(nullptr, QPoint(), entries), -1); // nothing queued
    ASSERT_EQ(menus.Shown().size(), 5u);
    EXPECT_EQ(menus.LastEntries(), entries);
    EXPECT_EQ(menus.Positions().front(), QPoint(3, 4));
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
