#pragma once

#include "application/Lyren/patients/record/PatientTestUtil.h"

#include "core/CLogicFolders.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "Sylvan/XmlPlatform.h"

#include <QtCore/QFile>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

namespace CustomDataTest {

using namespace PatientTest;

inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The real main window, shown, over a practice in a temporary folder.
class ShownFrameFixture : public FrameFixture
{
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ShowFrame();
    }
    void ShowFrame()
    {
        frame->resize(1200, 800);
        frame->show();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    void Reopen()
    {
        CloseFrame();
        ASSERT_TRUE(OpenFrame());
        ShowFrame();
    }
    // The first pane shows a tab.
    void ShowTab(int index)
    {
        frame->GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->SetCurrentTab(index);
        QApplication::processEvents();
    }
    template<typename Page> Page *PageAt(int index) const
    {
        return qobject_cast<Page *>(frame->GetPageContainer()->GetPageWindow(index));
    }
    QString PatientFolder() const { return Hub()->GetLogicFolders()->GetPatientFolder(); }

    Sylvan::PlatformScope xml;
};

} // namespace CustomDataTest
