#include "TimeGrid/ControlDialogs.h"

#include "TimeGrid/DayAxis.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QSpinBox>

using namespace Component;

namespace TimeGrid {

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("TimeGrid", text);
}

bool IsProperty(PageField::Kind kind)
{
    return kind == PageField::Kind::Number || kind == PageField::Kind::NumberText;
}

} // namespace

GeneralPropertyPage::GeneralPropertyPage(std::vector<PageField> fields)
    : m_fields(std::move(fields))
{ }

GeneralPropertyPage::~GeneralPropertyPage() = default;

QWidget *GeneralPropertyPage::CreateWidget(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("GeneralPropertyPage"));
    page->setWindowTitle(Tr("General"));
    auto *form = new QFormLayout(page);
    m_editors.assign(m_fields.size(), Editor());
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const PageField &field = m_fields[i];
        Editor &editor = m_editors[i];
        const QString name = QString::fromLatin1(field.name);
        const auto edited = [this, i] { Edited(i); };
        if (field.kind == PageField::Kind::Flag) {
            editor.check = new QCheckBox(Tr(field.label), page);
            editor.check->setObjectName(name);
            editor.check->setTristate(true);
            editor.check->setToolTip(Tr("Partly ticked: left as it is"));
            QObject::connect(editor.check, &QCheckBox::stateChanged, page, edited);
            form->addRow(editor.check);
            continue;
        }
        QWidget *input = nullptr;
        if (field.kind == PageField::Kind::Day) {
            editor.day = new QDateEdit(page);
            editor.day->setCalendarPopup(true);
            QObject::connect(editor.day, &QDateEdit::dateChanged, page, edited);
            input = editor.day;
        } else {
            editor.number = new QSpinBox(page);
            editor.number->setRange(field.minimum, field.maximum);
            if (field.minimumText)
                editor.number->setSpecialValueText(Tr(field.minimumText));
            QObject::connect(editor.number, &QSpinBox::valueChanged, page, edited);
            input = editor.number;
        }
        input->setObjectName(name);
        if (IsProperty(field.kind)) {
            form->addRow(Tr(field.label), input);
            continue;
        }
        // A value the control cannot be asked for is written only when ticked.
        editor.check = new QCheckBox(Tr(field.label), page);
        editor.check->setObjectName(name + QStringLiteral("Set"));
        input->setEnabled(false);
        QObject::connect(editor.check, &QCheckBox::toggled, input, &QWidget::setEnabled);
        QObject::connect(editor.check, &QCheckBox::toggled, page, edited);
        form->addRow(editor.check, input);
    }
    page->setMinimumSize(250, 62);
    Load();
    return page;
}

void GeneralPropertyPage::ObjectsChanged()
{
    Load();
}

void GeneralPropertyPage::Load()
{
    m_loading = true;
    for (size_t i = 0; i < m_editors.size(); ++i) {
        const PageField &field = m_fields[i];
        Editor &editor = m_editors[i];
        editor.changed = false;
        if (editor.check)
            editor.check->setCheckState(
                field.kind == PageField::Kind::Flag ? Qt::PartiallyChecked : Qt::Unchecked);
        if (editor.day)
            editor.day->setDate(QDate::currentDate());
        if (editor.number && IsProperty(field.kind) && !Objects().isEmpty()) {
            HRESULT hr = S_OK;
            const QVariant value = Objects().first().Get(field.member, &hr);
            if (Succeeded(hr))
                editor.number->setValue(value.toString().toInt());
        }
    }
    m_loading = false;
}

void GeneralPropertyPage::Edited(size_t index)
{
    if (m_loading)
        return;
    m_editors[index].changed = true;
    SetDirty(true);
}

bool GeneralPropertyPage::Wanted(size_t index, QVariant *value) const
{
    const PageField &field = m_fields[index];
    const Editor &editor = m_editors[index];
    switch (field.kind) {
    case PageField::Kind::Number:
        *value = editor.number ? editor.number->value() : 0;
        return editor.changed && editor.number;
    case PageField::Kind::NumberText:
        *value = editor.number ? QString::number(editor.number->value()) : QString();
        return editor.changed && editor.number;
    case PageField::Kind::Pixels:
        *value = editor.number ? editor.number->value() : 0;
        return editor.number && editor.check && editor.check->isChecked();
    case PageField::Kind::Day:
        *value = editor.day ? OleDateOfDay(editor.day->date()) : 0.0;
        return editor.day && editor.check && editor.check->isChecked();
    case PageField::Kind::Flag:
        *value = editor.check && editor.check->checkState() == Qt::Checked;
        return editor.check && editor.check->checkState() != Qt::PartiallyChecked;
    }
    return false;
}

HRESULT GeneralPropertyPage::ApplyTo(const DispatchDriver &object)
{
    HRESULT first = S_OK;
    for (size_t i = 0; i < m_editors.size(); ++i) {
        QVariant value;
        if (!Wanted(i, &value))
            continue;
        const DISPID member = m_fields[i].member;
        const HRESULT hr
            = IsProperty(m_fields[i].kind) ? object.Put(member, value) : object.Call(member, { value });
        if (Failed(hr) && Succeeded(first))
            first = hr;
    }
    return first;
}

void ShowAboutBox(QWidget *parent, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace TimeGrid
