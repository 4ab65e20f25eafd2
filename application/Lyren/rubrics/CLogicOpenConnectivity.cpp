#include "rubrics/CLogicOpenConnectivity.h"

#include "rubrics/CLogicMetaWords.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/Loggers.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"

#include "common/LocaleDates.h"
#include "messaging/WindowMessenger.h"

#include <QtCore/QFileInfo>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

namespace {

const QString RequestFileName = QStringLiteral("VerdantaReq.xml");

void Log(const QString &text, int level = Loggers::Information)
{
    Loggers::Log(Loggers::Category::OpenConnectivity, level, text);
}

// The keywords go to the clipboard as Unicode text.
void CopyTextToClipboard(const QString &text)
{
    if (text.isEmpty() || !qGuiApp)
        return;
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

bool EndsInSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'));
}

} // namespace

CLogicOpenConnectivity::CLogicOpenConnectivity(
    LogicContext &context, std::unique_ptr<Messaging::IWindowMessenger> messenger)
    : m_context(context)
    , m_pMessenger(std::move(messenger))
{ }

CLogicOpenConnectivity::~CLogicOpenConnectivity() = default;

void CLogicOpenConnectivity::SetMessenger(std::unique_ptr<Messaging::IWindowMessenger> messenger)
{
    m_pMessenger = std::move(messenger);
}

Messaging::IWindowMessenger &CLogicOpenConnectivity::Messenger()
{
    if (!m_pMessenger)
        m_pMessenger = Messaging::CreateWindowMessenger();
    return *m_pMessenger;
}

int CLogicOpenConnectivity::OnCommand(LogicCommand &command)
{
    if (command.code != CommandCode::RadarRequest)
        return 0;
    if (!m_pLogicMetaWords)
        return OnBroadcastData(MetaWord(), command.subCommand);
    const CLogicMetaWords::Lines &lines = m_pLogicMetaWords->GetLines();
    if (command.id < 0 || command.id >= qint64(lines.size()) || !lines[size_t(command.id)])
        return 0;
    return OnBroadcastData(*lines[size_t(command.id)], command.subCommand);
}

QString CLogicOpenConnectivity::RequestFilePath() const
{
    QString folder = m_context.Folders().GetBroadcastPath();
    if (folder.isEmpty())
        folder = m_context.Folders().GetRootFolder();
    if (!folder.isEmpty() && !EndsInSeparator(folder))
        folder += QLatin1Char('/');
    return folder + RequestFileName;
}

void CLogicOpenConnectivity::AppendPatient(Sylvan::IElement *root) const
{
    Sylvan::IElement *patient = root->AddChild(QStringLiteral("Patient"), QString());
    Korbel::ITable *main = m_context.MainTable();
    const std::pair<QString, QString> fields[] = {
        { QStringLiteral("Id"), QStringLiteral("ID") },
        { QStringLiteral("Last_Name"), QStringLiteral("LAST_NAME") },
        { QStringLiteral("First_Name"), QStringLiteral("FIRST_NAME") },
        { QStringLiteral("Picture"), QStringLiteral("IMAGE_PATH") },
    };
    for (const auto &[element, field] : fields) {
        bool read = false;
        const QString value = main ? Records::ReadText(main, field, &read) : QString();
        // A value that cannot be read leaves its element out.
        if (read)
            patient->AddChild(element, value);
    }
}

Sylvan::DocumentPtr CLogicOpenConnectivity::BuildRequest(
    const MetaWord &line, int flag, QString *clipboardText) const
{
    const bool alone = flag != 0;
    const qint64 consultation = line.ContentSourceID;
    if (!alone && consultation < 0)
        return nullptr;
    Sylvan::DocumentPtr document(DocumentFactory());
    if (!document || !document->Initialize())
        return nullptr;
    Sylvan::IElement *root = document->GetRootElement();
    root->SetName(QStringLiteral("Request"));
    root->AddChild(QStringLiteral("Type"), QStringLiteral("Calculate"));
    root->AddChild(QStringLiteral("Start"), QStringLiteral("No"));
    AppendPatient(root);

    auto appendConsultation = [root](qint64 id, const QString &date, const QString &rubrics) {
        Sylvan::IElement *element = root->AddChild(QStringLiteral("Consultation"), QString());
        element->AddChild(QStringLiteral("Id"), QString::number(id));
        element->AddChild(QStringLiteral("Date"), date);
        element->AddChild(QStringLiteral("Possible_Rubrics"), rubrics);
        element->AddChild(QStringLiteral("MM_Word_Search"), rubrics);
    };
    if (alone) {
        // Lines of other kinds name no consultation of the notes.
        if (line.Type == 0)
            appendConsultation(consultation, Verdanta::FormatXmlStamp(line.SourceTimeStamp), line.Content);
        if (clipboardText)
            *clipboardText = line.Content;
        return document;
    }
    QString rubrics;
    QString words;
    QString date;
    bool first = true;
    if (m_pLogicMetaWords) {
        for (const auto &taken : m_pLogicMetaWords->GetLines()) {
            if (!taken || taken->Type != 0 || taken->ContentSourceID != consultation)
                continue;
            if (!first)
                rubrics += QLatin1Char('\n');
            rubrics += taken->Content;
            first = false;
            words += QLatin1Char(' ') + taken->Content;
            date = Verdanta::FormatXmlStamp(taken->SourceTimeStamp);
        }
    }
    appendConsultation(consultation, date, rubrics);
    if (clipboardText)
        *clipboardText = words.trimmed();
    return document;
}

int CLogicOpenConnectivity::OnBroadcastData(const MetaWord &line, int flag)
{
    if (!m_pLogicMetaWords) {
        Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() returned because of m_pLogicFolders == "
                           "NULL || m_pLogicMetaWords == NULL"),
            Loggers::Error);
        return 0;
    }
    QString clipboardText;
    Sylvan::DocumentPtr request = BuildRequest(line, flag, &clipboardText);
    if (!request)
        return 0;
    CopyTextToClipboard(clipboardText);

    const QString path = RequestFilePath();
    Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() trying to save document into file ")
        + path);
    // A configured folder that does not exist is not made up: the request
    // must not land where the program never looks.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() the request folder does not exist: ")
                + folder,
            Loggers::Error);
        return 0;
    }
    if (!request->Save(path)) {
        Log(QStringLiteral(
            "CLogicOpenConnectivity::OnBroadcastData() cannot write the XML document into file!"));
        return 0;
    }
    Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() document has been successfully saved "));
    Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() detecting target window parameters"));

    const QString windowClass = m_context.Folders().GetTargetWindowClassName();
    Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() finding window: class = %1")
            .arg(windowClass));
    Messaging::IWindowMessenger &messenger = Messenger();
    const Messaging::WindowHandle window = messenger.FindTopLevelWindow(windowClass);
    if (window.IsNull()) {
        Log(QStringLiteral(
            "CLogicOpenConnectivity::OnBroadcastData() failed to find target window, broadcast message"));
        if (messenger.Broadcast(RequestMessage, 0, 0)) {
            Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() broadcast message successfull"));
            return 1;
        }
        Log(QStringLiteral(
            "CLogicOpenConnectivity::OnBroadcastData() broadcast message failed. Last error <<%1>>")
                .arg(messenger.LastError()));
        return 0;
    }
    if (messenger.Post(window, RequestMessage, 0, 0))
        Log(QStringLiteral(
            "CLogicOpenConnectivity::OnBroadcastData() posting message to target wnd successfull"));
    else
        Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() post message failed. Last error <<%1>>")
                .arg(messenger.LastError()));
    if (messenger.Restore(window)) {
        Log(QStringLiteral("CLogicOpenConnectivity::OnBroadcastData() pactivating target app successfull"));
        return 1;
    }
    Log(QStringLiteral(
        "CLogicOpenConnectivity::OnBroadcastData() activating target app failed. Last error <<%1>>")
            .arg(messenger.LastError()));
    return 0;
}
