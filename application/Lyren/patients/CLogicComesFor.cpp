#include "patients/CLogicComesFor.h"

#include "patients/CComesForDialog.h"
#include "shell/CLogicFolders.h"
#include "shell/CLogicMain.h"
#include "shell/CMainView.h"
#include "shell/CommandCodes.h"

#include "common/Identifiers.h"
#include "finance/RecordAccess.h"

#include <QtWidgets/QHeaderView>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStyle>

using Finance::ReadText;
using Finance::WriteText;

namespace {

const QString Table = QStringLiteral("COMES_FOR");
const QString PatientId = QStringLiteral("PATIENT_ID");
const QString Desc = QStringLiteral("DESC");
const QString ImagePath = QStringLiteral("IMAGE_PATH");
const QString AudioPath = QStringLiteral("AUDIO_PATH");

constexpr int IconColumnWidth = 17;
constexpr int MenuTextLength = 40;
enum Icon { AudioIcon, ImageIcon };

int DefaultMenu(const QStringList &entries, const QPoint &at, QWidget *parent)
{
    QMenu menu(parent);
    for (int i = 0; i < entries.size(); ++i) {
        QString text = entries.at(i);
        menu.addAction(text.replace(QLatin1Char('&'), QStringLiteral("&&")))->setData(i);
    }
    const QAction *chosen = menu.exec(at);
    return chosen ? chosen->data().toInt() : -1;
}

} // namespace

CLogicComesFor::CLogicComesFor(CLogicMain *hub)
    : m_pHub(hub)
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

int CLogicComesFor::OnCommand(LogicCommand &command)
{
    Korbel::CXListCtrl *list = List();
    if (!list)
        return 0;
    switch (command.code) {
    case CommandCode::ChiefComplaintsClick:
        return PlayRecording(list->currentIndex().row(), list->currentIndex().column());
    case CommandCode::ChiefComplaintsDoubleClick:
        return EditRow(list->currentIndex().row());
    case CommandCode::ChiefComplaintsButton:
        return ShowMenu(command);
    default:
        return 0;
    }
}

Korbel::CXListCtrl *CLogicComesFor::List()
{
    CMainView *view = m_pHub->GetMainView();
    auto *list = view ? qobject_cast<Korbel::CXListCtrl *>(view->GetChiefComplaintsList()) : nullptr;
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
    list->horizontalHeader()->hide();
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->SetImageList({ list->style()->standardIcon(QStyle::SP_MediaVolume),
        list->style()->standardIcon(QStyle::SP_FileIcon) });
    list->SetCallback(this);
    return list;
}

int CLogicComesFor::Load()
{
    m_pTable.reset();
    const qint64 patient = Finance::CurrentId(m_pHub->GetMainTable());
    if (patient > 0 && m_pHub->GetDataSource()) {
        Korbel::ReleasePtr<Korbel::IQuery> query(m_pHub->GetDataSource()->CreateQuery());
        if (query) {
            query->SetTable(Table);
            query->Where(PatientId, Korbel::Compare::Equal, Verdanta::FormatId(patient));
            m_pTable.reset(query->Open());
        }
    }
    FillList();
    return patient <= 0 || m_pTable ? 1 : 0;
}

void CLogicComesFor::FillList()
{
    Korbel::CXListCtrl *list = List();
    if (!list)
        return;
    list->DeleteAllItems();
    if (m_pTable) {
        for (int more = m_pTable->Move(Korbel::MoveFirst); more == 1;
             more = m_pTable->Move(Korbel::MoveNext)) {
            const int row = list->InsertItem(list->GetItemCount(), QString());
            list->SetItemData(row, quintptr(Finance::CurrentId(m_pTable.get())));
            list->SetItemDeletable(row, true);
            ShowRow(row);
        }
    }
    const int last = list->InsertItem(list->GetItemCount(), AddRowText());
    list->SetItemPlaceHolder(last, true);
    list->SetColumnWidth(
        DescriptionColumn, std::max(40, list->viewport()->width() - 2 * IconColumnWidth - 2));
    list->SetColumnWidth(AudioColumn, IconColumnWidth);
    list->SetColumnWidth(ImageColumn, IconColumnWidth);
}

void CLogicComesFor::ShowRow(int row)
{
    // The row shows the complaint the table is on.
    Korbel::CXListCtrl *list = List();
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
    return id > 0 && Finance::LocateId(m_pTable.get(), id);
}

int CLogicComesFor::EditRow(int row)
{
    Korbel::CXListCtrl *list = List();
    const qint64 patient = Finance::CurrentId(m_pHub->GetMainTable());
    if (!list || !m_pTable || patient <= 0 || row < 0 || row >= list->GetItemCount())
        return 0;
    const bool isNew = list->IsItemPlaceHolder(row);
    const qint64 key = isNew ? 0 : qint64(list->GetItemData(row));
    if (isNew ? !m_pTable->AddNew() : !LocateRow(key))
        return 0;

    CLogicFolders *folders = m_pHub->GetLogicFolders();
    CComesForDialog dialog(
        folders->GetImagesFolder(), folders->GetRootFolder(), &m_images.Get(),
        [hub = m_pHub](LogicCommand &command) { return hub->OnCommand(command); }, list->window());
    if (!isNew)
        dialog.SetValues(Field(Desc), Field(ImagePath), Field(AudioPath));
    if (m_pMedia)
        m_pMedia->PrepareComplaintRecording();
    const int shown = m_dialogPresenter ? m_dialogPresenter(dialog) : dialog.exec();
    if (shown != QDialog::Accepted) {
        if (m_pMedia)
            m_pMedia->ResetComplaintRecording();
        // A new complaint that was cancelled leaves no row behind.
        if (isNew)
            m_pTable->CancelUpdate();
        return 0;
    }

    if (!isNew && (!LocateRow(key) || m_pTable->Edit() != 1))
        return 0;
    bool written = WriteText(m_pTable.get(), Desc, dialog.Description())
        && WriteText(m_pTable.get(), ImagePath, dialog.ImagePath());
    if (m_pMedia)
        written = written && WriteText(m_pTable.get(), AudioPath, m_pMedia->ComplaintRecording());
    if (isNew)
        written = written && WriteText(m_pTable.get(), PatientId, Verdanta::FormatId(patient));
    if (!Finance::FinishWrite(m_pTable.get(), written))
        return 0;

    if (isNew) {
        list->SetItemPlaceHolder(row, false);
        list->SetItemData(row, quintptr(Finance::CurrentId(m_pTable.get())));
        list->SetItemDeletable(row, true);
        list->SetItemPlaceHolder(list->InsertItem(list->GetItemCount(), AddRowText()), true);
    }
    ShowRow(row);
    return 1;
}

int CLogicComesFor::ShowMenu(const LogicCommand &command)
{
    Korbel::CXListCtrl *list = List();
    QStringList entries;
    // One entry per list row; the last row (adding) is the last entry.
    for (int row = 0; row + 1 < list->GetItemCount(); ++row)
        entries << MenuText(list->GetItemText(row, DescriptionColumn));
    entries << AddMenuText();
    QWidget *button = command.control;
    const QPoint at = button ? button->mapToGlobal(QPoint(0, button->height())) : command.point;
    QWidget *parent = button ? button->window() : list->window();
    const int chosen
        = m_menuPresenter ? m_menuPresenter(entries, at, parent) : DefaultMenu(entries, at, parent);
    if (chosen < 0 || chosen >= list->GetItemCount())
        return 0;
    list->SetCurSel(chosen);
    return EditRow(chosen);
}

int CLogicComesFor::PlayRecording(int row, int column)
{
    Korbel::CXListCtrl *list = List();
    if (column != AudioColumn || row < 0 || list->IsItemPlaceHolder(row) || !m_pMedia
        || !LocateRow(qint64(list->GetItemData(row))))
        return 0;
    const QString recording = Field(AudioPath);
    if (recording.isEmpty())
        return 0;
    m_pMedia->PlayComplaint(recording);
    return 1;
}

bool CLogicComesFor::DeleteRow(int row)
{
    Korbel::CXListCtrl *list = List();
    if (!list || !LocateRow(qint64(list->GetItemData(row))))
        return false;
    return m_pTable->Delete() > 0;
}

int CLogicComesFor::DeletePatientRows()
{
    if (!Load() || !m_pTable)
        return 0;
    int result = 1;
    while (m_pTable->Move(Korbel::MoveFirst) == 1) {
        if (m_pTable->Delete() <= 0) {
            result = 0;
            break;
        }
    }
    FillList();
    return result;
}
