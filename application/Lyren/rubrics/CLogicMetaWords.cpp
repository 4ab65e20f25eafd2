#include "rubrics/CLogicMetaWords.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/Loggers.h"
#include "core/LogicContext.h"

#include "Sylvan/Document.h"
#include "common/LocaleDates.h"
#include "desktop/Menus.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QHash>
#include <QtCore/QTimeZone>

#include <algorithm>

namespace {

const QString FileName = QStringLiteral("WordSearch.xml");
const QString RootName = QStringLiteral("MetaWords");
const QString LineName = QStringLiteral("MetaWord");

const QColor LineText(0, 0, 0);
const QColor LineBackground(230, 230, 255);
const QColor StartedLineBackground(255, 200, 200);

// "dd/MM/yyyy HH:mm:ss" read field by field, in the system's time zone
// looked up once: the general parser and local times cost several look-ups
// of the zone file per stamp, which a file of a thousand lines would feel.
QDateTime ReadFixedStamp(QStringView text, const QTimeZone &zone)
{
    if (text.size() != 19 || text[2] != u'/' || text[5] != u'/' || text[10] != u' ' || text[13] != u':'
        || text[16] != u':')
        return QDateTime();
    auto number = [text](qsizetype at, qsizetype length) {
        bool ok = false;
        const int value = text.mid(at, length).toInt(&ok);
        return ok ? value : -1;
    };
    const QDate date(number(6, 4), number(3, 2), number(0, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    return date.isValid() && time.isValid() ? QDateTime(date, time, zone) : QDateTime();
}

QDateTime ReadStamp(const QString &text, const QTimeZone &zone)
{
    // Files of this program carry the fixed stamp format; older files may
    // carry the user's own locale format.
    QDateTime stamp = ReadFixedStamp(text, zone);
    if (stamp.isValid())
        return stamp;
    if (Verdanta::ParseXmlStamp(text, &stamp))
        return stamp;
    if (Verdanta::ParseLocaleDateTime(text, &stamp))
        return stamp;
    return QDateTime();
}

QString DateText(const QDateTime &stamp)
{
    return stamp.isValid() ? Verdanta::FormatLocaleDate(stamp.date()) : QString();
}

// The lines as the file holds them.
struct StoredLine
{
    QString content;
    qint64 sourceId;
    QString stamp;
    int type;
};

bool WriteLines(const std::vector<StoredLine> &lines, const QString &path, QString *error)
{
    Sylvan::DocumentPtr document(DocumentFactory());
    if (!document || !document->Initialize()) {
        *error = document ? document->GetErrorDescription() : QStringLiteral("no XML document");
        return false;
    }
    Sylvan::IElement *root = document->GetRootElement();
    root->SetName(RootName);
    for (const StoredLine &line : lines) {
        Sylvan::IElement *element = root->AddChild(LineName, QString());
        element->AddChild(QStringLiteral("Content"), line.content);
        element->AddChild(QStringLiteral("ContentSourceID"), QString::number(line.sourceId));
        element->AddChild(QStringLiteral("SourceTimeStamp"), line.stamp);
        element->AddChild(QStringLiteral("Type"), QString::number(line.type));
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (document->Save(path))
        return true;
    *error = document->GetErrorDescription();
    return false;
}

// Moves an unreadable file out of the way, so that writing the lines never
// destroys what it held.
bool SetAside(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    const QString aside = path + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    return QFile::rename(path, aside);
}

} // namespace

CLogicMetaWords::CLogicMetaWords(LogicContext &context)
    : m_context(context)
{ }

CLogicMetaWords::~CLogicMetaWords()
{
    if (m_pView)
        m_pView->MetaWordsClosing();
    if (m_pList)
        m_pList->SetCallback(nullptr);
}

QString CLogicMetaWords::EmptyStateText()
{
    return tr("Double click keywords in Notes, Chief Complaints or Questionnaire");
}

QString CLogicMetaWords::PlaceholderText()
{
    return tr("Click here to start a new rubrics line...");
}

QString CLogicMetaWords::HeadingEmpty()
{
    return tr("Possible Rubrics");
}

QString CLogicMetaWords::HeadingWithLines()
{
    return tr("Possible Rubrics. Right click for more options.");
}

QString CLogicMetaWords::LineToolTip()
{
    return tr("Modify by double-clicking the row. Select and hit 'Del' to delete.");
}

void CLogicMetaWords::Attach(Korbel::IXListCtrl *list)
{
    if (m_pList && m_pList != list)
        m_pList->SetCallback(nullptr);
    m_pList = list;
    m_nEditedRow = -1;
    if (!m_pList)
        return;
    m_pList->SetCallback(this);
    RebuildList();
}

QString CLogicMetaWords::GetFilePath() const
{
    // Without a patient there is no folder: the file is never looked for in
    // the current directory.
    const QString folder = m_context.Folders().GetPatientFolder();
    return folder.isEmpty() ? QString() : folder + FileName;
}

int CLogicMetaWords::Load()
{
    m_lines.clear();
    m_nEditedRow = -1;
    m_bUnreadable = false;
    m_strLoadedPath = GetFilePath();
    if (m_pList)
        m_pList->DeleteAllItems();
    if (m_bNewPatient) {
        RebuildList();
        return 1;
    }
    const bool read = !m_strLoadedPath.isEmpty() && ReadFile(m_strLoadedPath);
    RebuildList();
    return read ? 1 : 0;
}

bool CLogicMetaWords::ReadFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    Sylvan::DocumentPtr document(DocumentFactory());
    if (!document || !document->Initialize() || !document->Load(path)) {
        m_bUnreadable = true;
        return false;
    }
    const Sylvan::IElement *root = document->GetRootElement();
    // The lines of one consultation share their stamp.
    QHash<QString, QDateTime> stamps;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    for (int i = 0; i < root->GetChildCount(); ++i) {
        const Sylvan::IElement *element = root->GetChild(i);
        // The values are taken by position, whatever the children's names; a
        // line with fewer than four is left out.
        if (element->GetChildCount() < 4)
            continue;
        auto line = std::make_unique<MetaWord>();
        line->Content = element->GetChild(0)->GetText();
        line->ContentSourceID = element->GetChild(1)->GetText().trimmed().toLongLong();
        const QString stamp = element->GetChild(2)->GetText().trimmed();
        auto known = stamps.constFind(stamp);
        if (known == stamps.constEnd())
            known = stamps.insert(stamp, ReadStamp(stamp, zone));
        line->SourceTimeStamp = *known;
        line->Type = element->GetChild(3)->GetText().trimmed().toInt();
        m_lines.push_back(std::move(line));
    }
    return true;
}

int CLogicMetaWords::Save()
{
    // The lines belong to the patient they were loaded for: a save before
    // the first load (or after the patient changed under them) must not
    // write them over another patient's file.
    const QString path = GetFilePath();
    if (path.isEmpty() || path != m_strLoadedPath)
        return 1;
    // A patient who never had keywords gets no file (a line started but
    // still empty is no keyword).
    const bool anyKeyword = std::any_of(
        m_lines.begin(), m_lines.end(), [](const auto &line) { return line && !line->Content.isEmpty(); });
    if (!anyKeyword && !m_bUnreadable && !QFileInfo::exists(path)) {
        m_bNewPatient = false;
        return 1;
    }
    std::vector<StoredLine> lines;
    lines.reserve(m_lines.size());
    for (const auto &line : m_lines) {
        if (line)
            lines.push_back({ line->Content, line->ContentSourceID,
                Verdanta::FormatXmlStamp(line->SourceTimeStamp), line->Type });
    }
    // The file is written once the save's rows are committed.
    auto write = [this, path, lines = std::move(lines), unreadable = m_bUnreadable] {
        if (unreadable && !SetAside(path))
            return false;
        QString error;
        if (!WriteLines(lines, path, &error)) {
            Loggers::Log(Loggers::Category::Folders, Loggers::Error,
                QStringLiteral("CLogicMetaWords::Save() cannot write %1: %2").arg(path, error));
            return false;
        }
        if (path == GetFilePath()) {
            m_bNewPatient = false;
            m_bUnreadable = false;
        }
        return true;
    };
    if (!m_context.IsSaving())
        return write() ? 1 : 0;
    m_context.AfterCommit(std::move(write));
    return 1;
}

int CLogicMetaWords::PrepareNew()
{
    MarkNewPatient();
    return 1;
}

int CLogicMetaWords::DeletePatientRows()
{
    const QString path = GetFilePath();
    if (!path.isEmpty()) {
        m_context.AfterCommit([path] {
            QFile::remove(path);
            return true;
        });
    }
    return 1;
}

int CLogicMetaWords::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::AddKeyword:
        return AddKeyword(command.text, command.resultText1, command.resultText2);
    case CommandCode::RubricsListClicked:
        return ListClicked();
    default:
        return 0;
    }
}

MetaWord *CLogicMetaWords::NewLine(qint64 sourceId, const QString &keyword, const QDateTime &stamp)
{
    auto line = std::make_unique<MetaWord>();
    line->Content = keyword;
    line->ContentSourceID = sourceId;
    line->SourceTimeStamp = stamp.isValid() ? stamp : QDateTime::currentDateTime();
    m_lines.push_back(std::move(line));
    return m_lines.back().get();
}

int CLogicMetaWords::AddKeyword(const QString &sourceId, const QString &keyword, const QString &stamp)
{
    const QString word = keyword.trimmed();
    if (word.isEmpty())
        return 1;
    if (m_pView)
        m_pView->ShowLines();
    const qint64 id = sourceId.trimmed().toLongLong();
    const QDateTime when = ReadStamp(stamp.trimmed(), QTimeZone::systemTimeZone());

    if (!m_pList) {
        // Nothing shows the lines: the keyword joins the lowest line of its
        // consultation, or starts one.
        const auto same = std::find_if(m_lines.rbegin(), m_lines.rend(),
            [id](const auto &line) { return line && line->ContentSourceID == id; });
        if (same != m_lines.rend())
            (*same)->Content += QLatin1Char(' ') + word;
        else
            NewLine(id, word, when);
        return 1;
    }
    if (m_lines.empty()) {
        NewLine(id, word, when);
        RebuildList();
        return 1;
    }
    for (int row = m_pList->GetItemCount() - 1; row >= 0; --row) {
        if (m_pList->IsItemPlaceHolder(row))
            continue;
        MetaWord *line = LineOfRow(row);
        if (!line) {
            // A started empty line takes the keyword, whatever its consultation.
            MetaWord *made = NewLine(id, word, when);
            m_pList->SetItemData(row, quintptr(made));
            m_pList->SetCurSel(row);
            RefreshLine(made);
            return 1;
        }
        if (line->ContentSourceID == id) {
            line->Content += QLatin1Char(' ') + word;
            RefreshLine(line);
            return 1;
        }
    }
    // No line of this consultation: the placeholder row becomes the new
    // line's row and a new placeholder follows it.
    MetaWord *made = NewLine(id, word, when);
    const int last = m_pList->GetItemCount() - 1;
    if (last >= 0 && m_pList->IsItemPlaceHolder(last)) {
        m_pList->SetItemPlaceHolder(last, false);
        m_pList->SetItemData(last, quintptr(made));
    }
    RefreshLine(made);
    AppendPlaceholder();
    return 1;
}

int CLogicMetaWords::ListClicked()
{
    if (!m_pList || m_lines.empty())
        return 0;
    const int selected = m_pList->GetCurSel();
    if (selected < 0)
        return 0;
    const int last = m_pList->GetItemCount() - 1;
    if (selected != last || !m_pList->IsItemPlaceHolder(last))
        return 1;
    for (int row = 0; row < last; ++row) {
        if (!m_pList->GetItemData(row)) {
            // One started empty line at a time.
            m_pList->SetCurSel(row);
            return 1;
        }
    }
    m_pList->SetItemPlaceHolder(last, false);
    m_pList->SetBold(last, -1, false);
    m_pList->SetItemText(last, 0, QString());
    m_pList->SetItemText(last, 1, EmptyStateText(), LineText, StartedLineBackground);
    m_pList->SetItalic(last, 1, true);
    m_pList->SetEdit(last, -1, false);
    m_pList->SetItemDeletable(last, true);
    AppendPlaceholder();
    m_pList->SetCurSel(last);
    return 1;
}

MetaWord *CLogicMetaWords::LineOfRow(int row) const
{
    if (!m_pList || m_pList->IsItemPlaceHolder(row))
        return nullptr;
    return reinterpret_cast<MetaWord *>(m_pList->GetItemData(row));
}

const MetaWord *CLogicMetaWords::LineAt(int row) const
{
    return LineOfRow(row);
}

int CLogicMetaWords::IndexOf(const MetaWord *line) const
{
    if (!line)
        return -1;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].get() == line)
            return int(i);
    }
    return -1;
}

void CLogicMetaWords::ShowLineInRow(int row, const MetaWord &line, bool freshRow)
{
    const QString date = DateText(line.SourceTimeStamp);
    // A row just inserted is plain already: a thousand lines are shown with
    // half the calls.
    if (!freshRow) {
        m_pList->SetItemPlaceHolder(row, false);
        m_pList->SetBold(row, -1, false);
        m_pList->SetItalic(row, -1, false);
        m_pList->SetItemImage(row, 0, -1);
        m_pList->SetEdit(row, 0, false);
    }
    m_pList->SetItemText(row, 0, date);
    m_pList->SetItemText(row, 1, line.Content, LineText, LineBackground);
    m_pList->SetEdit(row, 1, true);
    m_pList->SetItemDeletable(row, true);
    m_pList->SetItemToolTipText(row, 0, tr("Consultation date: %1").arg(date));
    m_pList->SetItemToolTipText(row, 1, LineToolTip());
}

void CLogicMetaWords::RefreshLine(MetaWord *line)
{
    if (!m_pList || !line)
        return;
    const int row = m_pList->FindItemData(quintptr(line));
    if (row >= 0) {
        ShowLineInRow(row, *line);
        m_pList->SetCurSel(row);
        return;
    }
    const int added = m_pList->InsertItem(m_pList->GetItemCount(), QString());
    if (added < 0)
        return;
    m_pList->SetItemData(added, quintptr(line));
    ShowLineInRow(added, *line, true);
}

void CLogicMetaWords::AppendPlaceholder()
{
    const int row = m_pList->InsertItem(m_pList->GetItemCount(), PlaceholderText());
    if (row < 0)
        return;
    m_pList->SetItemData(row, 0);
    m_pList->SetBold(row, -1, true);
    m_pList->SetItalic(row, -1, false);
    m_pList->SetItemImage(row, 0, -1);
    m_pList->SetItemDeletable(row, false);
    m_pList->SetItemPlaceHolder(row, true);
}

int CLogicMetaWords::RebuildList()
{
    if (!m_pList)
        return m_lines.empty() ? 0 : 1;
    m_pList->DeleteAllItems();
    m_nEditedRow = -1;
    if (m_lines.empty()) {
        const int row = m_pList->InsertItem(0, QString());
        if (row >= 0) {
            m_pList->SetItemText(row, 1, EmptyStateText());
            m_pList->SetBold(row, -1, false);
            m_pList->SetItalic(row, 1, true);
            m_pList->SetItemDeletable(row, false);
            m_pList->SetItemData(row, 0);
        }
        m_pList->SetColumnHeading(1, HeadingEmpty());
        return 0;
    }
    m_pList->SetColumnHeading(1, HeadingWithLines());
    for (const auto &line : m_lines) {
        if (!line)
            continue;
        const int row = m_pList->InsertItem(m_pList->GetItemCount(), QString());
        if (row < 0)
            break;
        m_pList->SetItemData(row, quintptr(line.get()));
        ShowLineInRow(row, *line, true);
    }
    AppendPlaceholder();
    const int placeholder = m_pList->GetItemCount() - 1;
    m_pList->SetCurSel(placeholder - 1, false);
    m_pList->EnsureVisible(placeholder);
    return 1;
}

void CLogicMetaWords::BeginEdit(int row, int /*column*/)
{
    m_nEditedRow = row;
}

void CLogicMetaWords::EndEdit(int row, int column, bool /*accepted*/)
{
    const int edited = m_nEditedRow;
    m_nEditedRow = -1;
    if (!m_pList || edited < 0 || edited != row || column != 1)
        return;
    MetaWord *line = LineOfRow(row);
    if (!line)
        return;
    const QString text = m_pList->GetItemText(row, 1).trimmed();
    // Emptying a line keeps its keywords: lines go with Del.
    if (!text.isEmpty())
        line->Content = text;
    m_pList->SetItemText(row, 1, line->Content);
}

bool CLogicMetaWords::DeleteRow(int row)
{
    MetaWord *line = LineOfRow(row);
    if (line) {
        if (m_nEditedRow == row)
            m_nEditedRow = -1;
        std::erase_if(m_lines, [line](const auto &held) { return held.get() == line; });
    }
    return true;
}

void CLogicMetaWords::AfterDelete()
{
    if (m_lines.empty())
        RebuildList();
}

CLogicMetaWords::MenuChoice CLogicMetaWords::ContextMenu(QWidget *parent, const QPoint &globalPosition)
{
    const int selected = m_pList ? m_pList->GetCurSel() : -1;
    const MetaWord *line = selected >= 0 ? LineOfRow(selected) : nullptr;
    QStringList entries;
    if (m_pList && m_pList->GetItemCount() != 1 && line)
        entries << tr("Send selected line to Radar") << tr("Send all keywords to Radar");
    entries << tr("Hide possible rubrics window");
    const int chosen = Desktop::Menus().Popup(parent, globalPosition, entries);
    if (chosen < 0 || chosen >= entries.size())
        return MenuChoice::None;
    if (chosen == entries.size() - 1)
        return MenuChoice::Hide;
    const bool alone = chosen == 0;
    LogicCommand command;
    command.code = CommandCode::RadarRequest;
    command.id = IndexOf(line);
    command.subCommand = alone ? 1 : 0;
    command.window = parent;
    m_context.SendCommand(command);
    return alone ? MenuChoice::SendLine : MenuChoice::SendConsultation;
}
