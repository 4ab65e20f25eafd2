#include "patients/CLogicComesFor.h"

#include "patients/PatientPresenters.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"
#include "core/Views.h"

#include "common/Identifiers.h"
#include "desktop/Menus.h"

using Records::ReadText;
using Records::WriteText;

namespace {

const QString Table = QStringLiteral("COMES_FOR");
const QString PatientId = QStringLiteral("PATIENT_ID");
const QString Desc = QStringLiteral("DESC");
const QString ImagePath = QStringLiteral("IMAGE_PATH");
const QString AudioPath = QStringLiteral("AUDIO_PATH");

constexpr int IconColumnWidth = 17;
constexpr int MenuTextLength = 40;
enum Icon { AudioIcon, ImageIcon };

} // namespace

CLogicComesFor::CLogicComesFor(LogicContext &context)
    : m_context(context)
{ }

CLogicComesFor::~CLogicComesFor()
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
}

QString CLogicComesFor::ListText(const QString &description)
{
    QString text = description;
    for (const QChar c : { QChar(u'\n'), QChar(u'\r'), QChar(u'\t'), QChar(u'\v') })
        text.replace(c, QLatin1Char(' '));
    return text;
}

QString CLogicComesFor::MenuText(const QString &description)
{
    const QString text = ListText(description);
    return text.size() > MenuTextLength ? text.left(MenuTextLength) + QStringLiteral("...") : text;
}

QString CLogicComesFor::AddRowText()
{
    return tr("Double click here to add new...");
}

QString CLogicComesFor::AddMenuText()
{
    return tr("Click here to add new...");
}

IPatientMedia *CLogicComesFor::Media() const
{
    return m_context.Services().Get<IPatientMedia>();
}

IPatientImages *CLogicComesFor::Images() const
{
    return m_pImages ? m_pImages : m_context.Services().Get<IPatientImages>();
}

int CLogicComesFor::OnCommand(LogicCommand &command)
{
    Korbel::IXListCtrl *list = List();
    if (!list)
        return 0;
    int row = -1;
    int column = -1;
    list->GetFocusedCell(&row, &column);
    switch (command.code) {
    case CommandCode::ChiefComplaintsClick:
        return PlayRecording(row, column);
    case CommandCode::ChiefComplaintsDoubleClick:
        return EditRow(row);
    case CommandCode::ChiefComplaintsButton:
        return ShowMenu(command);
    default:
        return 0;
    }
}

Korbel::IXListCtrl *CLogicComesFor::List()
{
    IHeaderBand *band = m_context.HeaderBand();
    Korbel::IXListCtrl *list = band ? band->ChiefComplaintsList() : nullptr;
    if (list == m_pList)
        return list;
    if (m_pList)
        m_pList->SetCallback(nullptr);
    m_pList = list;
    if (!list)
        return nullptr;
    if (list->GetColumnCount() == 0) {
        list->InsertColumn(DescriptionColumn, tr("Chief Complaints"));
        list->InsertColumn(AudioColumn, QString(), IconColumnWidth);
        list->InsertColumn(ImageColumn, QString(), IconColumnWidth);
    }
    list->SetHeaderVisible(false);
    list->SetHorizontalScrollBarVisible(false);
    list->SetStandardImageList(
        { Korbel::IXListCtrl::StandardImage::Sound, Korbel::IXListCtrl::StandardImage::File });
    list->SetCallback(this);
    return list;
}

int CLogicComesFor::Load()
{
    const qint64 patient = m_context.CurrentPatientId();
    m_pTable = Records::OpenPatientRows(m_context.DataSource(), Table, patient);
    FillList();
    return patient <= 0 || m_pTable ? 1 : 0;
}

void CLogicComesFor::FillList()
{
    Korbel::IXListCtrl *list = List();
    if (!list)
        return;
    list->DeleteAllItems();
    if (m_pTable) {
        for (int more = m_pTable->Move(Korbel::MoveFirst); more == 1;
             more = m_pTable->Move(Korbel::MoveNext)) {
            const int row = list->InsertItem(list->GetItemCount(), QString());
            list->SetItemData(row, quintptr(Records::CurrentId(m_pTable.get())));
            list->SetItemDeletable(row, true);
            ShowRow(row);
        }
    }
    const int last = list->InsertItem(list->GetItemCount(), AddRowText());
    list->SetItemPlaceHolder(last, true);
    list->SetColumnWidth(DescriptionColumn, std::max(40, list->ClientWidth() - 2 * IconColumnWidth - 2));
    list->SetColumnWidth(AudioColumn, IconColumnWidth);
    list->SetColumnWidth(ImageColumn, IconColumnWidth);
}

void CLogicComesFor::ShowRow(int row)
{
    // The row shows the complaint the table is on.
    Korbel::IXListCtrl *list = List();
    if (!list || !m_pTable)
        return;
    const QString description = Field(Desc);
    list->SetItemText(row, DescriptionColumn, ListText(description));
    list->SetItemToolTipText(row, DescriptionColumn, description);
    list->SetItemImage(row, AudioColumn, Field(AudioPath).isEmpty() ? -1 : AudioIcon);
    list->SetItemImage(row, ImageColumn, Field(ImagePath).isEmpty() ? -1 : ImageIcon);
}

QString CLogicComesFor::Field(const QString &name) const
{
    return ReadText(m_pTable.get(), name);
}

bool CLogicComesFor::LocateRow(qint64 id)
{
    return id > 0 && Records::LocateId(m_pTable.get(), id);
}

int CLogicComesFor::EditRow(int row)
{
    Korbel::IXListCtrl *list = List();
    const qint64 patient = m_context.CurrentPatientId();
    if (!list || !m_pTable || patient <= 0 || row < 0 || row >= list->GetItemCount())
        return 0;
    const bool isNew = list->IsItemPlaceHolder(row);
    const qint64 key = isNew ? 0 : qint64(list->GetItemData(row));
    if (isNew ? !m_pTable->AddNew() : !LocateRow(key))
        return 0;

    IComplaintEditor *editor = m_context.Services().Get<IComplaintEditor>();
    IPatientMedia *media = Media();
    const CLogicFolders &folders = m_context.Folders();
    IComplaintEditor::Setting setting;
    setting.imagesFolder = folders.GetImagesFolder();
    setting.rootFolder = folders.GetRootFolder();
    setting.images = Images();
    setting.commands = [this](LogicCommand &command) { return m_context.SendCommand(command); };
    ComplaintValues values;
    if (!isNew)
        values = { Field(Desc), Field(ImagePath) };
    if (media)
        media->PrepareComplaintRecording();
    if (!editor || editor->Edit(list->DialogParent(), setting, &values) != 1) {
        if (media)
            media->ResetComplaintRecording();
        // A new complaint that was cancelled leaves no row behind.
        if (isNew)
            m_pTable->CancelUpdate();
        return 0;
    }

    if (!isNew && (!LocateRow(key) || m_pTable->Edit() != 1))
        return 0;
    bool written = WriteText(m_pTable.get(), Desc, values.description)
        && WriteText(m_pTable.get(), ImagePath, values.imagePath);
    // A complaint keeps its recording unless a new one was made in the dialog.
    const QString recording = media ? media->ComplaintRecording() : QString();
    if (!recording.isEmpty())
        written = written && WriteText(m_pTable.get(), AudioPath, recording);
    if (isNew)
        written = written && WriteText(m_pTable.get(), PatientId, Verdanta::FormatId(patient));
    if (!Records::FinishWrite(m_pTable.get(), written))
        return 0;

    if (isNew) {
        list->SetItemPlaceHolder(row, false);
        list->SetItemData(row, quintptr(Records::CurrentId(m_pTable.get())));
        list->SetItemDeletable(row, true);
        list->SetItemPlaceHolder(list->InsertItem(list->GetItemCount(), AddRowText()), true);
    }
    ShowRow(row);
    return 1;
}

int CLogicComesFor::ShowMenu(const LogicCommand &command)
{
    Korbel::IXListCtrl *list = List();
    QStringList entries;
    // One entry per list row; the last row (adding) is the last entry.
    for (int row = 0; row + 1 < list->GetItemCount(); ++row)
        entries << MenuText(list->GetItemText(row, DescriptionColumn));
    entries << AddMenuText();
    // The window places the menu (below its button) through the command's point.
    QWidget *parent = command.window ? command.window : list->DialogParent();
    const int chosen = Desktop::Menus().Popup(parent, command.point, entries);
    if (chosen < 0 || chosen >= list->GetItemCount())
        return 0;
    list->SetCurSel(chosen);
    return EditRow(chosen);
}

int CLogicComesFor::PlayRecording(int row, int column)
{
    Korbel::IXListCtrl *list = List();
    IPatientMedia *media = Media();
    if (column != AudioColumn || row < 0 || list->IsItemPlaceHolder(row) || !media
        || !LocateRow(qint64(list->GetItemData(row))))
        return 0;
    const QString recording = Field(AudioPath);
    if (recording.isEmpty())
        return 0;
    media->PlayComplaint(recording);
    return 1;
}

bool CLogicComesFor::DeleteRow(int row)
{
    Korbel::IXListCtrl *list = List();
    if (!list || !LocateRow(qint64(list->GetItemData(row))))
        return false;
    return m_pTable->Delete() > 0;
}

int CLogicComesFor::DeletePatientRows()
{
    if (!Load() || !m_pTable)
        return 0;
    const int result = Records::DeleteAllRows(m_pTable.get()) ? 1 : 0;
    FillList();
    return result;
}
