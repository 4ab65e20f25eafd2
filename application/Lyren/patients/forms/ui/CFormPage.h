#pragma once

#include "patients/forms/FormLayouts.h"

#include <QtWidgets/QWidget>

class IFormFieldBinder;

// One page of a form dialog, built from its layout: a group box per topic in
// two columns inside a scrolling area, every control bound to its field when
// the page is set up. A control whose field cannot be bound is disabled, so
// that nothing is typed that could not be kept.
class CFormPage : public QWidget
{
    Q_OBJECT

public:
    enum class PhrasePicking { Off, On };

    CFormPage(const PatientForms::FormPageLayout &layout, IFormFieldBinder *binder, PhrasePicking picking,
        QWidget *parent = nullptr);

    // The control of a stored field, none when this page does not show it.
    QWidget *FieldControl(const QString &table, const QString &field) const;
    // Every control of the page with its table and field, in binding order.
    struct BoundField
    {
        QString table;
        QString field;
        PatientForms::FieldKind kind;
        QWidget *control;
    };
    const std::vector<BoundField> &Fields() const { return m_fields; }

    static QString ControlName(const QString &table, const QString &field);
    // The size the page's content asks for, without scrolling.
    QSize ContentSizeHint() const;

signals:
    // A phrase picked by a double click in a free-text field (picking on).
    void phrasePicked(const QString &phrase);

private:
    QWidget *BuildTopic(
        const PatientForms::FormTopic &topic, IFormFieldBinder *binder, PhrasePicking picking);
    QWidget *CreateControl(const PatientForms::FormField &field, PhrasePicking picking);

    QWidget *m_pContent = nullptr;
    std::vector<BoundField> m_fields;
};

// Page Number (from 1) of a form whose pages Layouts() gives.
template<const std::vector<PatientForms::FormPageLayout> &(*Layouts)(), int Number,
    CFormPage::PhrasePicking Picking>
class CNumberedFormPage final : public CFormPage
{
public:
    explicit CNumberedFormPage(IFormFieldBinder *binder, QWidget *parent = nullptr)
        : CFormPage(Layouts().at(Number - 1), binder, Picking, parent)
    { }
};
