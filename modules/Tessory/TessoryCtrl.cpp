#include "TessoryCtrl.h"

#include "TessoryIds.h"
#include "TessoryWidget.h"

#include "TimeGrid/ControlDialogs.h"

#include <QtCore/QCoreApplication>

using namespace Component;
using TimeGrid::DayOfOleDate;
using TimeGrid::OleDateOfDay;

namespace Tessory {

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("Tessory", text);
}

HRESULT Status(bool success)
{
    return success ? S_OK : E_FAIL;
}

} // namespace

CTessoryCtrl::CTessoryCtrl()
    : GridControl(kIidDTessory, kOnFirstVisibleTSChanged, E_FAIL)
{
    m_dispatch.AddMethod(kAboutBox, {}, [this](QVariantList &, QVariant &) {
        TimeGrid::ShowAboutBox(ControlWindow(), Tr("About Tessory"), Tr("Tessory Control, version 1.0"));
        return S_OK;
    });
    AddLineMembers();
    AddSequenceMembers();
    AddViewMembers();
}

CTessoryCtrl::~CTessoryCtrl() = default;

void CTessoryCtrl::AddLineMembers()
{
    m_dispatch.AddMethod(kAddNewLine, { ValueType::String, ValueType::String, ValueType::Color },
        [this](QVariantList &a, QVariant &) {
            const bool added = m_model.AddLine(a[0].toString(), a[1].toString(), a[2].toUInt());
            Refresh();
            return Status(added);
        });
    m_dispatch.AddMethod(kUpdateLine, { ValueType::String, ValueType::String, ValueType::Color },
        [this](QVariantList &a, QVariant &) {
            Line *line = FindLine(a[0].toString());
            if (!line)
                return E_FAIL;
            line->name = a[1].toString();
            line->colour = a[2].toUInt();
            Refresh();
            return S_OK;
        });
    m_dispatch.AddMethod(
        kRemoveLine, { ValueType::String, ValueType::Int32 }, [this](QVariantList &a, QVariant &) {
            const int index = m_model.FindLine(a[0].toString(), a[1].toInt());
            if (index < 0)
                return E_FAIL;
            m_model.RemoveLine(index);
            Refresh();
            return S_OK;
        });
    m_dispatch.AddMethod(
        kGetLinesNo, {},
        [this](QVariantList &, QVariant &result) {
            result = m_model.LineCount();
            return S_OK;
        },
        ValueType::Int32);
    m_dispatch.AddMethod(kSetLineData,
        { ValueType::Int32, ValueType::String, ValueType::String, ValueType::Color, ValueType::Bool },
        [this](QVariantList &a, QVariant &) {
            const bool set = m_model.SetLineData(
                a[0].toInt(), a[1].toString(), a[2].toString(), a[3].toUInt(), a[4].toBool());
            Refresh();
            return Status(set);
        });
    m_dispatch.AddMethod(
        kGetLineID, { ValueType::Int32 },
        [this](QVariantList &a, QVariant &result) {
            const Line *line = m_model.LineAt(a[0].toInt());
            result = line ? line->id : QString();
            return S_OK;
        },
        ValueType::String);
}

void CTessoryCtrl::AddSequenceMembers()
{
    m_dispatch.AddMethod(
        kGetCurrentSequence, { ValueType::String },
        [this](QVariantList &a, QVariant &result) {
            const Line *line = FindLine(a[0].toString());
            result = line && line->current >= 0
                ? SequenceIdText(line->sequences[static_cast<size_t>(line->current)].id)
                : QString();
            return S_OK;
        },
        ValueType::String);
    m_dispatch.AddMethod(
        kAddNewSequence, { ValueType::String, ValueType::String }, [this](QVariantList &a, QVariant &) {
            Line *line = FindLine(a[0].toString());
            qint64 id = 0;
            if (!line || !ParseSequenceId(a[1].toString(), &id))
                return E_FAIL;
            m_model.AppendSequence(*line, id, QDate::currentDate());
            Refresh();
            return S_OK;
        });
    m_dispatch.AddMethod(
        kGetSequenceNo, { ValueType::String },
        [this](QVariantList &a, QVariant &result) {
            const Line *line = FindLine(a[0].toString());
            result = line ? static_cast<int>(line->sequences.size()) : 0;
            return S_OK;
        },
        ValueType::Int32);
    const auto addBound = [this](DISPID member, QDate Sequence::*bound) {
        m_dispatch.AddMethod(
            member, { ValueType::String, ValueType::String, ValueType::Int32 },
            [this, bound](QVariantList &a, QVariant &result) {
                const Sequence *sequence = FindSequence(a[0].toString(), a[1].toString(), a[2].toInt());
                result = sequence ? OleDateOfDay(sequence->*bound) : 0.0;
                return S_OK;
            },
            ValueType::Date);
    };
    addBound(kGetSequenceStart, &Sequence::start);
    addBound(kGetSequenceEnd, &Sequence::end);
    m_dispatch.AddMethod(kIsDTSelected,
        { ValueType::String, ValueType::String, ValueType::Int32, ValueType::Date },
        [this](QVariantList &a, QVariant &) {
            const Sequence *sequence = FindSequence(a[0].toString(), a[1].toString(), a[2].toInt());
            return Status(sequence && sequence->IsSelected(DayOfOleDate(a[3].toDouble())));
        });
    m_dispatch.AddMethod(kSelectDT,
        { ValueType::String, ValueType::String, ValueType::Int32, ValueType::Date },
        [this](QVariantList &a, QVariant &) {
            Sequence *sequence = FindSequence(a[0].toString(), a[1].toString(), a[2].toInt());
            const QDate day = DayOfOleDate(a[3].toDouble());
            if (!sequence || !day.isValid())
                return E_FAIL;
            ApplySelect(*sequence, day);
            Refresh();
            return S_OK;
        });
    m_dispatch.AddMethod(kRemoveSequence, { ValueType::String, ValueType::String, ValueType::Int32 },
        [this](QVariantList &a, QVariant &) {
            Line *line = nullptr;
            const Sequence *sequence = FindSequence(a[0].toString(), a[1].toString(), a[2].toInt(), &line);
            if (!sequence)
                return E_FAIL;
            m_model.RemoveSequence(*line, static_cast<int>(sequence - line->sequences.data()));
            Refresh();
            return S_OK;
        });
    m_dispatch.AddMethod(kSetCurrentSequence,
        { ValueType::String, ValueType::String, ValueType::Int32, ValueType::Bool },
        [this](QVariantList &a, QVariant &) {
            Line *line = nullptr;
            const Sequence *sequence = FindSequence(a[0].toString(), a[1].toString(), a[2].toInt(), &line);
            if (!sequence)
                return E_FAIL;
            line->current = static_cast<int>(sequence - line->sequences.data());
            if (a[3].toBool())
                ScrollTo(sequence->start, true);
            Refresh();
            return S_OK;
        });
    m_dispatch.AddMethod(kSetSequenceID, { ValueType::String, ValueType::Int32, ValueType::String },
        [this](QVariantList &a, QVariant &) {
            Sequence *sequence = FindSequence(a[0].toString(), QString(), a[1].toInt());
            qint64 id = 0;
            if (!sequence || !ParseSequenceId(a[2].toString(), &id))
                return E_FAIL;
            sequence->id = id;
            return S_OK;
        });
    m_dispatch.AddMethod(kResetCurrentSequence, {}, [this](QVariantList &, QVariant &) {
        m_model.ResetCurrentSequences();
        Refresh();
        return S_OK;
    });
}

void CTessoryCtrl::AddViewMembers()
{
    AddZoomProperty(kZoom);
    AddExtentMethod(kGetLineHeaderExtent, &TimeGrid::GridLayout::lineHeader);
    // The column header's own extent (the date band above the cells).
    AddExtentMethod(kGetColumnHeaderExtent, &TimeGrid::GridLayout::columnHeader);
    AddExtentMethod(kGetContentExtent, &TimeGrid::GridLayout::content);
    const auto addHeaderBound = [this](DISPID member, int CTessoryCtrl::*bound) {
        m_dispatch.AddMethod(member, { ValueType::Int32 }, [this, bound](QVariantList &a, QVariant &) {
            this->*bound = std::max(0, a[0].toInt());
            Refresh();
            return S_OK;
        });
    };
    addHeaderBound(kSetMinLineHeaderExtent_Cx, &CTessoryCtrl::m_minLineHeaderWidth);
    addHeaderBound(kSetMaxLineHeaderExtent_Cx, &CTessoryCtrl::m_maxLineHeaderWidth);
    AddFirstVisibleMethod(kSetFirstVisibleTS);
    AddRedrawMethod(kRedraw);
}

Line *CTessoryCtrl::FindLine(const QString &lineId)
{
    return m_model.LineAt(m_model.FindLine(lineId));
}

Sequence *CTessoryCtrl::FindSequence(
    const QString &lineId, const QString &sequenceId, int index, Line **found)
{
    Line *line = FindLine(lineId);
    if (!line)
        return nullptr;
    const int position = TessoryModel::FindSequence(*line, sequenceId, index);
    if (position < 0)
        return nullptr;
    if (found)
        *found = line;
    return &line->sequences[static_cast<size_t>(position)];
}

Line *CTessoryCtrl::LineAfterEvent(int lineIndex, const QString &lineId)
{
    Line *line = m_model.LineAt(lineIndex);
    if (line && line->id == lineId)
        return line;
    return FindLine(lineId);
}

void CTessoryCtrl::OnDayClicked(int lineIndex, const QDate &day)
{
    const Line *clicked = m_model.LineAt(lineIndex);
    if (!clicked || !day.isValid())
        return;
    const QString lineId = clicked->id;
    const double when = OleDateOfDay(day);
    Fire(kOnSelectEvent, { lineId, when });

    // The container's handler may have changed the lines: find ours again.
    Line *line = LineAfterEvent(lineIndex, lineId);
    if (!line || !line->active) {
        Refresh();
        return;
    }
    const auto inside = std::find_if(line->sequences.begin(), line->sequences.end(),
        [&day](const Sequence &sequence) { return sequence.Contains(day); });
    if (inside != line->sequences.end()) {
        SelectInSequence(*line, lineIndex, static_cast<int>(inside - line->sequences.begin()), day);
    } else if (line->current >= 0) {
        SelectInSequence(*line, lineIndex, line->current, day);
    } else {
        const quint64 key = m_model.AppendSequence(*line, 0, day).key;
        Fire(kOnSequenceNew, { lineId });
        line = LineAfterEvent(lineIndex, lineId);
        const int position = line ? TessoryModel::FindSequenceByKey(*line, key) : -1;
        if (position >= 0)
            ApplySelect(line->sequences[static_cast<size_t>(position)], day);
    }
    Refresh();
}

void CTessoryCtrl::SelectInSequence(const Line &clicked, int lineIndex, int sequenceIndex, const QDate &day)
{
    const QString lineId = clicked.id;
    const Sequence &target = clicked.sequences[static_cast<size_t>(sequenceIndex)];
    const quint64 key = target.key;
    const QString sequenceId = SequenceIdText(target.id);
    Fire(
        kOnSelectSequence, { lineId, sequenceId, sequenceIndex, OleDateOfDay(day), !target.IsSelected(day) });

    Line *line = LineAfterEvent(lineIndex, lineId);
    const int position = line ? TessoryModel::FindSequenceByKey(*line, key) : -1;
    if (position < 0)
        return;
    Sequence &sequence = line->sequences[static_cast<size_t>(position)];
    ApplySelect(sequence, day);
    if (!sequence.HasSelection())
        Fire(kOnSequenceDeleted, { lineId, sequenceId, position });
}

QWidget *CTessoryCtrl::CreateWidget(QWidget *parent)
{
    return new TessoryWidget(this, parent);
}

} // namespace Tessory
