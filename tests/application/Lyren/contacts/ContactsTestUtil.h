#pragma once

#include "contacts/CLogicEmails.h"
#include "contacts/CLogicPhones.h"
#include "notes/CLogicNotes.h"
#include "shell/CLogicMain.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/CurrentPatient.h"

#include "libraries/Korbel/KorbelTestUtil.h"
#include "support/ScriptedDesktop.h"
#include "support/TestSupport.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace ContactsTest {

using namespace KorbelTest;

// A practice in a throw-away folder with two patients, their office data,
// and its hub with every subsystem.
class Practice
{
public:
    Practice()
    {
        auto source = OpenSource(DatabasePath());
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        for (const auto &[first, last] : { std::pair { "Anna", "Pop" }, std::pair { "Bert", "Ionescu" } })
            ids << AddRow(main.get(),
                { { QStringLiteral("FIRST_NAME"), QLatin1String(first) },
                    { QStringLiteral("LAST_NAME"), QLatin1String(last) } });
        auto office = OpenTable(source.get(), QStringLiteral("OFFICE_DATA"));
        AddRow(office.get(),
            { { QStringLiteral("NAME"), QStringLiteral("Green Practice") },
                { QStringLiteral("EMAIL"), QStringLiteral("office@green.example") },
                { QStringLiteral("EMAIL_FOOTER"), QStringLiteral("Green Practice\nMain St 1") } });
    }

    bool Open()
    {
        hub = std::make_unique<CLogicMain>(Root(), dir.filePath(QStringLiteral("windows")));
        QString error;
        const bool opened = hub->Open(&error);
        EXPECT_TRUE(opened) << error.toStdString();
        return opened;
    }

    QString Root() const { return dir.rootWithSeparator(); }
    QString DatabasePath() const { return Root() + QStringLiteral("data.mdb"); }
    CLogicEmails &Emails() const { return *hub->Services().Get<CLogicEmails>(); }
    CLogicPhones &Phones() const { return *hub->Services().Get<CLogicPhones>(); }
    CLogicNotes &Notes() const { return *hub->Services().Get<CLogicNotes>(); }
    QString Current(const QString &field) const { return Get(hub->GetMainTable(), field); }
    int GoTo(const QString &id) const { return hub->GetLogicPatient()->GoTo(id); }
    int Send(int code, QObject *control = nullptr) const
    {
        LogicCommand command;
        command.code = code;
        command.control = control;
        return hub->OnCommand(command);
    }
    // The notes' text, U+FFFC where items stand.
    QString NotesText() const
    {
        const RichEdit::RichDocument &rich = Notes().ActiveEditor().Document().Rich();
        return rich.textRange(0, rich.textLength());
    }
    // The stamps in the notes, "<<...>>" each, with the time as "HH:MM".
    QStringList Stamps() const
    {
        QStringList stamps;
        static const QRegularExpression stamp(QStringLiteral("<<[^>]*>>"));
        for (auto match = stamp.globalMatch(NotesText()); match.hasNext();)
            stamps << match.next().captured().replace(
                QRegularExpression(QStringLiteral("\\d\\d:\\d\\d")), QStringLiteral("HH:MM"));
        return stamps;
    }

    TestSupport::TemporaryFolder dir;
    QStringList ids;
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedShell shell;
    Desktop::ScriptedMenus menus;
    std::unique_ptr<CLogicMain> hub;
};

} // namespace ContactsTest
