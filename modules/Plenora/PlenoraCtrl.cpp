#include "PlenoraCtrl.h"

#include "PlenoraIds.h"
#include "PlenoraWidget.h"

using namespace Component;
using TimeGrid::DayOfOleDate;

namespace Plenora {

namespace {

// Members answer 0 for success and 1 for failure.
HRESULT Status(bool success)
{
    return success ? S_OK : S_FALSE;
}

} // namespace

CPlenoraCtrl::CPlenoraCtrl()
    : GridControl(kIidDPlenora, kOnFirstVisibleTSChanged, S_FALSE)
{
    AddGraphMembers();
    AddViewMembers();
}

CPlenoraCtrl::~CPlenoraCtrl() = default;

void CPlenoraCtrl::AddGraphMembers()
{
    m_dispatch.AddMethod(kAddNewGraph, { ValueType::String, ValueType::String, ValueType::Color },
        [this](QVariantList &a, QVariant &) {
            m_model.Add(a[0].toString(), a[1].toString(), a[2].toUInt());
            Refresh();
            return S_OK;
        });
    m_dispatch.AddMethod(kUpdateGraph, { ValueType::String, ValueType::String, ValueType::Color },
        [this](QVariantList &a, QVariant &) {
            Graph *graph = m_model.Find(a[0].toString());
            if (!graph)
                return S_FALSE;
            graph->name = a[1].toString();
            graph->colour = a[2].toUInt();
            Refresh();
            return S_OK;
        });
    // The identifier is not used: the container names the graph by its index.
    m_dispatch.AddMethod(
        kRemoveGraph, { ValueType::String, ValueType::Int32 }, [this](QVariantList &a, QVariant &) {
            const bool removed = m_model.RemoveAt(a[1].toInt());
            Refresh();
            return Status(removed);
        });
    m_dispatch.AddMethod(
        kGetGraphsNo, {},
        [this](QVariantList &, QVariant &result) {
            result = static_cast<int>(m_model.Graphs().size());
            return S_OK;
        },
        ValueType::Int32);
    m_dispatch.AddMethod(kSelectDT, { ValueType::String, ValueType::Date, ValueType::Int32 },
        [this](QVariantList &a, QVariant &) {
            const bool selected = SelectDT(a[0].toString(), DayOfOleDate(a[1].toDouble()), a[2].toInt());
            Refresh();
            return Status(selected);
        });
    m_dispatch.AddMethod(
        kIsDTSelected, { ValueType::String, ValueType::Date, ValueType::Int32 },
        [this](QVariantList &a, QVariant &result) {
            const Graph *graph = m_model.Find(a[0].toString());
            const QDate day = DayOfOleDate(a[1].toDouble());
            const Point *point = graph && day.isValid() ? graph->PointOn(day) : nullptr;
            result = point && point->row == a[2].toInt();
            return S_OK;
        },
        ValueType::Bool);
    m_dispatch.AddMethod(
        kGetYAxis, {},
        [this](QVariantList &, QVariant &result) {
            result = m_model.RowCount();
            return S_OK;
        },
        ValueType::Int32);
    m_dispatch.AddMethod(kRemoveAllGraphs, {}, [this](QVariantList &, QVariant &) {
        m_model.Graphs().clear();
        Refresh();
        return S_OK;
    });
    m_dispatch.AddMethod(
        kGetGraphPointsNo, { ValueType::String },
        [this](QVariantList &a, QVariant &result) {
            const Graph *graph = m_model.Find(a[0].toString());
            result = graph ? static_cast<int>(graph->points.size()) : 0;
            return S_OK;
        },
        ValueType::Int32);
    m_dispatch.AddMethod(kGetGraphPoint,
        { ValueType::String, ValueType::Int32, Parameter::Out(ValueType::Date),
            Parameter::Out(ValueType::Int32) },
        [this](QVariantList &a, QVariant &) {
            const Graph *graph = m_model.Find(a[0].toString());
            const int index = a[1].toInt();
            if (!graph || index < 0 || index >= static_cast<int>(graph->points.size()))
                return S_FALSE;
            const Point &point = graph->points[static_cast<size_t>(index)];
            a[2] = TimeGrid::OleDateOfDay(point.day);
            a[3] = point.row;
            return S_OK;
        });
    m_dispatch.AddMethod(
        kSetGraphVisible, { ValueType::String, ValueType::Bool }, [this](QVariantList &a, QVariant &) {
            Graph *graph = m_model.Find(a[0].toString());
            if (!graph)
                return S_FALSE;
            graph->visible = a[1].toBool();
            Refresh();
            return S_OK;
        });
    m_dispatch.AddProperty(
        kCurrentGraph, ValueType::String, [this] { return QVariant(QString::number(m_currentGraph)); },
        [this](const QVariant &value) {
            m_currentGraph = DecimalPrefix(value.toString());
            Refresh();
            return S_OK;
        });
}

void CPlenoraCtrl::AddViewMembers()
{
    AddZoomProperty(kZoom);
    const auto addHeaderFlag = [this](DISPID member, bool CPlenoraCtrl::*flag) {
        m_dispatch.AddMethod(member, { ValueType::Bool }, [this, flag](QVariantList &a, QVariant &) {
            this->*flag = a[0].toBool();
            Refresh();
            return S_OK;
        });
    };
    addHeaderFlag(kDisplayLineHeader, &CPlenoraCtrl::m_showLineHeader);
    addHeaderFlag(kDisplayColumnHeader, &CPlenoraCtrl::m_showColumnHeader);
    AddExtentMethod(kGetLineHeaderExtent, &TimeGrid::GridLayout::lineHeader);
    AddExtentMethod(kGetColumnHeaderExtent, &TimeGrid::GridLayout::columnHeader);
    AddFirstVisibleMethod(kSetFirstVisibleTS);
    AddRedrawMethod(kRedraw);
}

bool CPlenoraCtrl::SelectDT(const QString &graphId, const QDate &day, int row)
{
    Graph *graph = m_model.Find(graphId);
    // A negative row is refused as well: it has no cell and no label.
    if (!graph || row < 0 || row >= m_model.RowCount() || !day.isValid())
        return false;
    ApplyPoint(*graph, day, row);
    return true;
}

void CPlenoraCtrl::OnCellClicked(const QDate &day, int row)
{
    const Graph *current = m_model.At(m_currentGraph);
    if (!current)
        return;
    SelectDT(current->id, day, row);
    Refresh();
}

QWidget *CPlenoraCtrl::CreateWidget(QWidget *parent)
{
    return new PlenoraWidget(this, parent);
}

} // namespace Plenora
