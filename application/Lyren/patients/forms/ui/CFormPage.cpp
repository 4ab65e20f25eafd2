#include "patients/forms/ui/CFormPage.h"

#include "patients/forms/FormInterfaces.h"
#include "patients/forms/ui/PhraseEdits.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QVBoxLayout>

using PatientForms::FieldKind;
using PatientForms::FormField;
using PatientForms::FormLayouts;
using PatientForms::FormTopic;

namespace {

// Rough height of a topic in rows, to share the topics between two columns.
int TopicWeight(const FormTopic &topic)
{
    int checks = 0;
    int rows = 1; // the title
    for (const FormField &field : topic.fields) {
        switch (field.kind) {
        case FieldKind::Check:
            ++checks;
            break;
        case FieldKind::Notes:
            rows += 4;
            break;
        case FieldKind::ValueBeside:
            break;
        default:
            ++rows;
        }
    }
    return rows + (checks + topic.columns - 1) / topic.columns;
}

} // namespace

QString CFormPage::ControlName(const QString &table, const QString &field)
{
    return table + QLatin1Char('.') + field;
}

CFormPage::CFormPage(const PatientForms::FormPageLayout &layout, IFormFieldBinder *binder,
    PhrasePicking picking, QWidget *parent)
    : QWidget(parent)
{
    auto *content = new QWidget;
    m_pContent = content;
    auto *columns = new QHBoxLayout(content);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    // Topics keep their order: the first ones down the left column until it
    // holds about half the page, the rest down the right one.
    int total = 0;
    for (const FormTopic &topic : layout.topics)
        total += TopicWeight(topic);
    int leftWeight = 0;
    bool leftFull = false;
    for (const FormTopic &topic : layout.topics) {
        const int weight = TopicWeight(topic);
        if (leftWeight > 0 && 2 * leftWeight + weight > total)
            leftFull = true;
        QWidget *box = BuildTopic(topic, binder, picking);
        if (leftFull) {
            right->addWidget(box);
        } else {
            left->addWidget(box);
            leftWeight += weight;
        }
    }
    left->addStretch(1);
    right->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

QWidget *CFormPage::BuildTopic(const FormTopic &topic, IFormFieldBinder *binder, PhrasePicking picking)
{
    auto *box = new QGroupBox(FormLayouts::tr(topic.title));
    auto *boxLayout = new QVBoxLayout(box);

    // Consecutive check boxes share a grid, consecutive edits a form; the
    // blocks follow one another in the order of the fields.
    QGridLayout *grid = nullptr;
    QFormLayout *form = nullptr;
    QHBoxLayout *lastRow = nullptr;
    int cell = 0;
    const int columnCount = std::max(1, topic.columns);

    for (const FormField &field : topic.fields) {
        const QString table = QString::fromLatin1(field.table ? field.table : topic.table);
        const QString name = QString::fromLatin1(field.field);
        QWidget *control = CreateControl(field, picking);
        control->setObjectName(ControlName(table, name));

        if (field.kind == FieldKind::Check) {
            form = nullptr;
            lastRow = nullptr;
            if (!grid) {
                grid = new QGridLayout;
                boxLayout->addLayout(grid);
                cell = 0;
            }
            grid->addWidget(control, cell / columnCount, cell % columnCount);
            ++cell;
        } else if (field.kind == FieldKind::ValueBeside && lastRow) {
            auto *label = new QLabel(FormLayouts::tr(field.label));
            label->setBuddy(control);
            lastRow->addWidget(label);
            lastRow->addWidget(control);
        } else {
            grid = nullptr;
            if (!form) {
                form = new QFormLayout;
                form->setRowWrapPolicy(QFormLayout::WrapLongRows);
                form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
                boxLayout->addLayout(form);
            }
            lastRow = new QHBoxLayout;
            lastRow->addWidget(control, field.kind == FieldKind::Value ? 0 : 1);
            if (field.kind == FieldKind::Value)
                lastRow->addStretch(1);
            const QString labelText = FormLayouts::tr(field.label);
            if (labelText.isEmpty()) {
                control->setAccessibleName(FormLayouts::tr(topic.title));
                form->addRow(lastRow);
            } else {
                auto *label = new QLabel(labelText);
                label->setBuddy(control);
                form->addRow(label, lastRow);
            }
        }

        if (!binder || !binder->BindFormField(table, name, control))
            control->setEnabled(false);
        m_fields.push_back(BoundField { table, name, field.kind, control });
    }
    return box;
}

QWidget *CFormPage::CreateControl(const FormField &field, PhrasePicking picking)
{
    switch (field.kind) {
    case FieldKind::Check:
        return new QCheckBox(FormLayouts::tr(field.label));
    case FieldKind::Value:
    case FieldKind::ValueBeside: {
        auto *edit = new QLineEdit;
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 16);
        return edit;
    }
    case FieldKind::Notes: {
        auto *edit = new CPhraseTextEdit;
        edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 4 + 12);
        if (picking == PhrasePicking::On)
            connect(edit, &CPhraseTextEdit::phrasePicked, this, &CFormPage::phrasePicked);
        return edit;
    }
    case FieldKind::Text:
        break;
    }
    auto *edit = new CPhraseLineEdit;
    if (picking == PhrasePicking::On)
        connect(edit, &CPhraseLineEdit::phrasePicked, this, &CFormPage::phrasePicked);
    return edit;
}

QSize CFormPage::ContentSizeHint() const
{
    return m_pContent->sizeHint();
}

QWidget *CFormPage::FieldControl(const QString &table, const QString &field) const
{
    for (const BoundField &bound : m_fields) {
        if (bound.table == table && bound.field == field)
            return bound.control;
    }
    return nullptr;
}
