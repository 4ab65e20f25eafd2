#include "patients/ui/CGeneralDialog.h"

#include "patients/PatientDocuments.h"

#include "core/CommandCodes.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CHyperLink.h"

#include "Korbel/DataSource.h"
#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QMimeData>
#include <QtCore/QUrl>
#include <QtGui/QDragEnterEvent>
#include <QtGui/QDropEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {

const QString Main = QStringLiteral("MAIN");
// The fields the page shows but never writes.
const QStringList ReadOnlyFields = { QStringLiteral("ID"), QStringLiteral("PARENT_NAME") };

QStringList LocalFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths << url.toLocalFile();
    }
    return paths;
}

QLabel *Label(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

class CGeneralDialog::DocumentsView final : public IPatientDocumentsView
{
public:
    explicit DocumentsView(Korbel::CXListCtrl *list)
        : m_pList(list)
    { }
    Korbel::IXListCtrl *DocumentsList() override { return m_pList; }

private:
    Korbel::CXListCtrl *m_pList;
};

template<typename Control> Control *CGeneralDialog::AddField(const QString &field, Control *control)
{
    control->setObjectName(field);
    m_fields.insert(field, control);
    return control;
}

QLineEdit *CGeneralDialog::AddLineEdit(const QString &field)
{
    return AddField(field, new QLineEdit(this));
}

QCheckBox *CGeneralDialog::AddCheckBox(const QString &field, const QString &text)
{
    return AddField(field, new QCheckBox(text, this));
}

CGeneralDialog::CGeneralDialog(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);

    // The patient's particulars.
    QLineEdit *id = AddLineEdit(QStringLiteral("ID"));
    id->setReadOnly(true);
    id->setMaximumWidth(120);
    auto *appellative = AddField(QStringLiteral("APELATIV"), new QComboBox(this));
    QLineEdit *first = AddLineEdit(QStringLiteral("FIRST_NAME"));
    QLineEdit *middle = AddLineEdit(QStringLiteral("MIDDLE_NAME"));
    QLineEdit *last = AddLineEdit(QStringLiteral("LAST_NAME"));
    auto *birth = AddField(QStringLiteral("DATE_OF_BIRTH"), new QDateEdit(this));
    birth->setCalendarPopup(true);
    // The earliest date stands for "not given" and shows blank.
    birth->setMinimumDate(QDate(1800, 1, 1));
    birth->setSpecialValueText(QStringLiteral(" "));
    birth->setDate(birth->minimumDate());
    auto *gender = AddField(QStringLiteral("SEX"), new QComboBox(this));
    gender->addItem(tr("MALE"), 1);
    gender->addItem(tr("FEMALE"), 0);
    gender->setCurrentIndex(-1);
    auto *marital = AddField(QStringLiteral("MARITAL_STATUS"), new QComboBox(this));
    QLineEdit *occupation = AddLineEdit(QStringLiteral("OCCUPATION"));
    QLineEdit *doctor = AddLineEdit(QStringLiteral("MEDICAL_DOCTOR"));
    QCheckBox *active = AddCheckBox(QStringLiteral("ACTIVE"), tr("Active"));
    QCheckBox *vip = AddCheckBox(QStringLiteral("VIP"), tr("VIP"));
    QLineEdit *linked = AddLineEdit(QStringLiteral("PARENT_NAME"));
    linked->setReadOnly(true);
    m_pSearch = new QPushButton(tr("Search"), this);
    m_pSearch->setToolTip(tr("Choose the patient whose account this patient's account is linked to"));
    connect(m_pSearch, &QPushButton::clicked, this, &CGeneralDialog::OnSearch);

    auto *particulars = new QGroupBox(tr("Patient data"), this);
    auto *grid = new QGridLayout(particulars);
    int row = 0;
    auto addRow = [&](const QString &text, QWidget *control, QWidget *extra = nullptr) {
        grid->addWidget(Label(text, control, particulars), row, 0);
        grid->addWidget(control, row, 1);
        if (extra)
            grid->addWidget(extra, row, 2);
        ++row;
    };
    addRow(tr("ID"), id);
    addRow(tr("Appellative:"), appellative);
    addRow(tr("First Name:"), first);
    addRow(tr("Middle Name:"), middle);
    addRow(tr("Last Name:"), last);
    addRow(tr("Date of Birth:"), birth);
    addRow(tr("Gender:"), gender);
    addRow(tr("Marital Status:"), marital);
    addRow(tr("Occupation:"), occupation);
    addRow(tr("Medical Doctor:"), doctor);
    auto *flags = new QHBoxLayout;
    flags->addWidget(active);
    flags->addWidget(vip);
    flags->addStretch(1);
    grid->addLayout(flags, row++, 1);
    addRow(tr("Linked Account"), linked, m_pSearch);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    // Insurance: each amount is enabled only while its box is checked.
    auto *insurance = new QGroupBox(tr("Insurance"), this);
    auto *insuranceGrid = new QGridLayout(insurance);
    const struct
    {
        const char *box;
        const char *amount;
        QString text;
    } insurances[] = {
        { "HOM_INS", "HOM_INS_AMNT", tr("Homeopathy Insurance:") },
        { "NAT_INS", "NAT_INS_AMNT", tr("Naturopathy Insurance:") },
    };
    int insuranceRow = 0;
    for (const auto &entry : insurances) {
        QCheckBox *box = AddCheckBox(QLatin1String(entry.box), entry.text);
        QLineEdit *amount = AddLineEdit(QLatin1String(entry.amount));
        amount->setEnabled(false);
        connect(box, &QCheckBox::toggled, amount, &QWidget::setEnabled);
        insuranceGrid->addWidget(box, insuranceRow, 0);
        insuranceGrid->addWidget(amount, insuranceRow, 1);
        ++insuranceRow;
    }
    auto *info = AddField(QStringLiteral("INSURANCE_INFO"), new QPlainTextEdit(this));
    info->setTabChangesFocus(true);
    insuranceGrid->addWidget(Label(tr("Additional information about patient's insurance"), info, insurance),
        insuranceRow++, 0, 1, 2);
    insuranceGrid->addWidget(info, insuranceRow, 0, 1, 2);
    insuranceGrid->setRowStretch(insuranceRow, 1);

    // The documents and the appointment link belong to their own logic.
    auto *documents = new QGroupBox(tr("Documents"), this);
    m_pDocuments = new Korbel::CXListCtrl(documents);
    m_pDocuments->setObjectName(QStringLiteral("documents"));
    m_pDocuments->InsertColumn(0, tr("Documents. Double click to open."));
    m_pDocuments->setAcceptDrops(false); // drops reach the page
    m_pDocumentsView = std::make_unique<DocumentsView>(m_pDocuments);
    connect(m_pDocuments, &Korbel::CXListCtrl::itemDoubleClicked, this,
        [this] { Send(CommandCode::OpenDocument, m_pDocuments); });
    m_pImport = new QPushButton(tr("Import..."), documents);
    connect(
        m_pImport, &QPushButton::clicked, this, [this] { Send(CommandCode::ImportDocument, m_pDocuments); });
    m_pDeleteDocument = new QPushButton(tr("Delete"), documents);
    connect(m_pDeleteDocument, &QPushButton::clicked, this,
        [this] { Send(CommandCode::DeleteDocument, m_pDocuments); });
    auto *hint
        = new QLabel(tr("Press Import button or drag-and-drop to add a new document file."), documents);
    hint->setWordWrap(true);
    auto *documentButtons = new QHBoxLayout;
    documentButtons->addWidget(m_pImport);
    documentButtons->addWidget(m_pDeleteDocument);
    documentButtons->addStretch(1);
    auto *documentsLayout = new QVBoxLayout(documents);
    documentsLayout->addWidget(m_pDocuments, 1);
    documentsLayout->addWidget(hint);
    documentsLayout->addLayout(documentButtons);

    auto *appointment = new CHyperLink(this);
    appointment->setObjectName(QStringLiteral("appointmentLink"));
    appointment->SetLink(tr("Click to set an appointment"), true);
    connect(appointment, &QPushButton::clicked, this,
        [this] { Send(CommandCode::Appointments, m_pAppointment); });
    m_pAppointment = appointment;

    auto *right = new QVBoxLayout;
    right->addWidget(insurance, 1);
    right->addWidget(documents, 1);
    right->addWidget(appointment, 0, Qt::AlignLeft);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(particulars, 1);
    layout->addLayout(right, 1);
}

CGeneralDialog::~CGeneralDialog()
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IPatientDocumentsView>(m_pDocumentsView.get());
}

void CGeneralDialog::Attach(CLogicMain *hub)
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IPatientDocumentsView>(m_pDocumentsView.get());
    m_pHub = hub;
    if (!m_pHub)
        return;
    m_pHub->Services().Provide<IPatientDocumentsView>(m_pDocumentsView.get());
    LogicCommand show;
    show.code = CommandCode::OpenDocument;
    show.subCommand = PageSubCommand::ShowCurrent;
    show.control = m_pDocuments;
    m_pHub->OnCommand(show);
    // The look-ups first: a bound combo shows the item whose data is the key.
    for (const QString &table : { QStringLiteral("APELATIV"), QStringLiteral("MARITAL_STATUS") }) {
        auto *combo = qobject_cast<QComboBox *>(FieldControl(table));
        if (!combo)
            continue;
        combo->clear();
        for (const auto &[id, text] : m_pHub->LookupRows(table))
            combo->addItem(text, QVariant::fromValue(id));
    }
    BindFields();
}

void CGeneralDialog::BindFields()
{
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        m_pHub->BindField(Main, it.key(), it.value(), ReadOnlyFields.contains(it.key()) ? 0 : 1);
}

void CGeneralDialog::Refresh()
{
    // Without a current patient (an empty practice) nothing typed here could
    // be kept, so the page takes no input until New makes a patient.
    Korbel::ITable *main = m_pHub ? m_pHub->GetMainTable() : nullptr;
    const bool hasPatient = main && main->CurrentPosition() >= 0;
    for (QWidget *control : std::as_const(m_fields))
        control->setEnabled(hasPatient);
    // Each button works when a patient is current and its command reaches a
    // logic object.
    const std::pair<QWidget *, int> commands[] = {
        { m_pSearch, CommandCode::LinkedAccount },
        { m_pImport, CommandCode::ImportDocument },
        { m_pDeleteDocument, CommandCode::DeleteDocument },
        { m_pAppointment, CommandCode::Appointments },
        { m_pDocuments, CommandCode::OpenDocument },
    };
    for (const auto &[control, code] : commands) {
        if (!control)
            continue;
        control->setProperty("verdantaCommand", code);
        control->setEnabled(hasPatient && m_pHub && m_pHub->Reaches(code));
    }
    setAcceptDrops(hasPatient && m_pHub && m_pHub->Reaches(CommandCode::DocumentsDropped));
    if (!hasPatient)
        return;
    for (const char *box : { "HOM_INS", "NAT_INS" }) {
        const auto *check = qobject_cast<QCheckBox *>(FieldControl(QLatin1String(box)));
        if (QWidget *amount = FieldControl(QLatin1String(box) + QStringLiteral("_AMNT")))
            amount->setEnabled(check && check->isChecked());
    }
}

int CGeneralDialog::Send(int code, QWidget *control, const QString &text)
{
    if (!m_pHub)
        return 0;
    LogicCommand command;
    command.code = code;
    command.control = control;
    command.window = window();
    command.text = text;
    return m_pHub->OnCommand(command);
}

void CGeneralDialog::OnSearch()
{
    // A chosen linked account is shown at once; its field is never written
    // back from the page.
    if (Send(CommandCode::LinkedAccount, m_pSearch) == 1 && m_pHub)
        m_pHub->BindField(
            Main, QStringLiteral("PARENT_NAME"), FieldControl(QStringLiteral("PARENT_NAME")), 0);
}

void CGeneralDialog::DropFiles(const QStringList &paths)
{
    // The documents logic adds the first file dropped.
    if (!paths.isEmpty())
        Send(CommandCode::DocumentsDropped, m_pDocuments, paths.first());
}

void CGeneralDialog::dragEnterEvent(QDragEnterEvent *event)
{
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CGeneralDialog::dropEvent(QDropEvent *event)
{
    const QStringList paths = LocalFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    DropFiles(paths);
}
