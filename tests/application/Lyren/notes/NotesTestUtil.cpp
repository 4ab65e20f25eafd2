#include "NotesTestUtil.h"

#include "common/LocaleDates.h"

#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>

namespace NotesTest {

QString Describe(const CActiveEditorClientItem &item)
{
    QString data;
    switch (item.Kind()) {
    case ItemKind::Separator: {
        const auto &separator = static_cast<const CActiveEditorSeparatorItem &>(item);
        data = QStringLiteral("consultation %1 next %2")
                   .arg(separator.m_consultationDate.date().toString(Qt::ISODate),
                       separator.m_nextDate.date().toString(Qt::ISODate));
        break;
    }
    case ItemKind::Image:
        data
            = QStringLiteral("image %1").arg(static_cast<const CActiveEditorImageItem &>(item).m_strFilePath);
        break;
    case ItemKind::Audio:
    case ItemKind::Video:
        data = QStringLiteral("%1 %2").arg(
            item.Kind() == ItemKind::Audio ? QStringLiteral("audio") : QStringLiteral("video"),
            static_cast<const CActiveEditorMediaItem &>(item).m_strFilePath);
        break;
    case ItemKind::Sequence: {
        const auto &line = static_cast<const CActiveEditorSequenceItem &>(item);
        data = QStringLiteral("line %1 %2").arg(line.m_remedy.Key(), TreatmentDays::Format(line.m_dates));
        break;
    }
    case ItemKind::Prescription: {
        const auto &prescription = static_cast<const CActiveEditorPrescItem &>(item);
        data = QStringLiteral("prescription %1 status %2 quantity %3 %4")
                   .arg(prescription.m_remedy.Key())
                   .arg(prescription.m_nStatusId)
                   .arg(prescription.m_nQuantity)
                   .arg(prescription.m_strCreationDate);
        break;
    }
    }
    return QStringLiteral("%1: %2").arg(item.m_nCharPos).arg(data);
}

QStringList DescribeItems(CActiveEditor &editor)
{
    ItemList items;
    editor.CollectItems(items);
    QStringList lines;
    for (const CActiveEditorClientItem *item : items)
        lines << Describe(*item);
    return lines;
}

QString TextOf(CActiveEditor &editor)
{
    const RichEdit::RichDocument &rich = editor.Document().Rich();
    return rich.textRange(0, rich.textLength());
}

QString TableOf(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Separator:
        return QStringLiteral("CONSULTATIONS");
    case ItemKind::Image:
        return QStringLiteral("IMAGES");
    case ItemKind::Audio:
    case ItemKind::Video:
        return QStringLiteral("MEDIA");
    case ItemKind::Sequence:
        return QStringLiteral("INHALATIONS");
    case ItemKind::Prescription:
        return QStringLiteral("PRESCRIPTIONS");
    }
    return {};
}

const QStringList &ItemTables()
{
    static const QStringList tables = { QStringLiteral("CONSULTATIONS"), QStringLiteral("INHALATIONS"),
        QStringLiteral("IMAGES"), QStringLiteral("MEDIA"), QStringLiteral("PRESCRIPTIONS") };
    return tables;
}

Practice::Practice(const QStringList &patients, Korbel::Engine engine)
    : m_databases(engine)
    , m_location(
          engine == Korbel::Engine::SQLite ? Root() + QStringLiteral("data.mdb") : m_databases.NewLocation())
{
    auto source = OpenSource(DatabasePath());
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    for (const QString &name : patients)
        m_ids << AddRow(main.get(),
            { { QStringLiteral("FIRST_NAME"), name },
                { QStringLiteral("LAST_NAME"), name + QStringLiteral("son") } });
}

Practice::~Practice()
{
    Close();
}

bool Practice::Open()
{
    m_pHub = std::make_unique<CLogicMain>(Root(), m_dir.filePath(QStringLiteral("windows")));
    if (Korbel::IsServerAddress(m_location))
        m_pHub->GetLogicFolders()->SetDatabaseAddress(m_location);
    QString error;
    const bool opened = m_pHub->Open(&error);
    EXPECT_TRUE(opened) << error.toStdString();
    return opened;
}

void Practice::Close()
{
    if (m_pHub)
        m_pHub->Close();
    m_pHub.reset();
}

bool Practice::Reopen()
{
    Close();
    return Open();
}

CLogicNotes &Practice::Notes()
{
    return *m_pHub->Services().Get<CLogicNotes>();
}

CLogicMedia &Practice::Media()
{
    return *m_pHub->Services().Get<CLogicMedia>();
}

int Practice::Send(int code, int subCommand, const QString &text)
{
    LogicCommand command;
    command.code = code;
    command.subCommand = subCommand;
    command.text = text;
    return m_pHub->OnCommand(command);
}

int Practice::GoTo(const QString &id)
{
    return m_pHub->GetLogicPatient()->GoTo(id);
}

std::unique_ptr<CActiveEditorClientItem> Practice::Template(ItemKind kind)
{
    return Editor().CreateTemplate(ItemProxy::ClassIdOf(kind));
}

CActiveEditorClientItem *Practice::Insert(ItemKind kind, int seed)
{
    auto item = Template(kind);
    switch (kind) {
    case ItemKind::Separator: {
        auto &separator = static_cast<CActiveEditorSeparatorItem &>(*item);
        separator.m_consultationDate = QDateTime::currentDateTime().addDays(-seed);
        if (seed % 3 == 1)
            separator.m_nextDate = QDateTime::currentDateTime().addDays(14 - seed);
        break;
    }
    case ItemKind::Image:
        static_cast<CActiveEditorImageItem &>(*item).m_strFilePath
            = QStringLiteral("/images/img%1.png").arg(seed);
        break;
    case ItemKind::Audio:
    case ItemKind::Video:
        static_cast<CActiveEditorMediaItem &>(*item).m_strFilePath
            = QStringLiteral("/media/%1.%2")
                  .arg(seed)
                  .arg(kind == ItemKind::Audio ? QStringLiteral("wma") : QStringLiteral("asf"));
        break;
    case ItemKind::Sequence: {
        auto &line = static_cast<CActiveEditorSequenceItem &>(*item);
        line.m_remedy = { QString::number(1 + seed % 5), QStringLiteral("Remedy"),
            QString::number(1 + seed % 3), QStringLiteral("30CH") };
        line.m_dates = { QDate(2009, 3, 3).addDays(seed), QDate(2009, 3, 5).addDays(seed) };
        break;
    }
    case ItemKind::Prescription: {
        auto &prescription = static_cast<CActiveEditorPrescItem &>(*item);
        prescription.m_remedy = { QString::number(1 + seed % 5), QStringLiteral("Remedy"),
            QString::number(1 + seed % 3), QStringLiteral("30CH") };
        prescription.m_nStatusId = 1 + seed % 7;
        prescription.m_nQuantity = 1 + seed % 3;
        prescription.m_strCreationDate = Verdanta::FormatLocaleDate(QDate(2024, 1, 1).addDays(seed));
        prescription.m_amount = Verdanta::Money::FromUnits(125000 + 10000 * seed);
        prescription.m_tax1 = Verdanta::Money::FromUnits(12500);
        break;
    }
    }
    CActiveEditorClientItem *made = nullptr;
    EXPECT_TRUE(Editor().InsertFromTemplate(*item, &made));
    return made;
}

void Practice::Clear()
{
    Editor().DeleteRange(0, -1);
}

ReleasePtr<Korbel::IDataSource> Practice::Outside() const
{
    return OpenSource(DatabasePath());
}

QStringList Practice::Rows(const QString &table, const QString &patientId) const
{
    auto source = Outside();
    auto rows = Query(source.get(), table, [&](Korbel::IQuery *query) {
        query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, patientId);
        query->OrderBy(QStringLiteral("CHAR_POS"));
    });
    QStringList found;
    for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext))
        found << Get(rows.get(), QStringLiteral("ID")) + QLatin1Char(':')
                + Get(rows.get(), QStringLiteral("CHAR_POS"));
    return found;
}

int Practice::RowCount(const QString &table, const QString &where) const
{
    QString error;
    const auto rows = TestSupport::SelectOn(m_location,
        QStringLiteral("SELECT COUNT(*) FROM %1%2")
            .arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where),
        &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return rows.empty() ? -1 : rows.front().value(0).toInt();
}

QByteArray Practice::StoredNotes(const QString &patientId) const
{
    auto source = Outside();
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    QByteArray bytes;
    if (main->Locate(QStringLiteral("ID"), Korbel::LocateEqual, patientId) == 1)
        main->GetBinary(QStringLiteral("NOTES"), &bytes);
    return bytes;
}

bool Practice::Exec(const QString &statement) const
{
    QString error;
    const bool done = TestSupport::ExecuteOn(m_location, { statement }, &error);
    EXPECT_TRUE(done) << error.toStdString();
    return done;
}

} // namespace NotesTest
