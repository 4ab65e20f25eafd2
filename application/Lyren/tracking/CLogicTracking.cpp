#include "tracking/CLogicTracking.h"

#include <QtCore/QFileInfo>

#include "tracking/WellnessView.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/Loggers.h"
#include "core/LogicContext.h"
#include "patients/SideFiles.h"

#include "Plenora/PlenoraIds.h"
#include "common/OleDate.h"

#include <QtCore/QSet>

#include <algorithm>
#include <map>

namespace {

QString GraphId(size_t index)
{
    return QString::number(index);
}

void LogError(const QString &text)
{
    Loggers::Log(Loggers::Category::Folders, Loggers::Error, text);
}

} // namespace

CLogicTracking::CLogicTracking(LogicContext &context)
    : m_context(context)
    , m_document { 0, TrackingFile::DefaultGraphs() }
{ }

CLogicTracking::~CLogicTracking()
{
    if (m_pView)
        m_pView->TrackingClosed();
}

void CLogicTracking::Attach(IWellnessView *view, const Component::DispatchDriver &graphGrid)
{
    m_pView = view;
    m_graphGrid = graphGrid;
    m_document = { 0, TrackingFile::DefaultGraphs() };
    m_refused.clear();
    Load();
}

void CLogicTracking::Detach()
{
    m_pView = nullptr;
    m_graphGrid.Release();
    m_document = { 0, TrackingFile::DefaultGraphs() };
    m_refused.clear();
}

QString CLogicTracking::FilePath() const
{
    const QString folder = m_context.Folders().GetPatientFolder();
    return folder.isEmpty() ? QString() : folder + TrackingFile::FileName;
}

void CLogicTracking::ClearPoints()
{
    for (TrackingGraph &graph : m_document.graphs)
        graph.points.clear();
    m_refused.clear();
}

int CLogicTracking::Load()
{
    m_loadedFor = m_context.CurrentPatientId();
    m_bUnreadableOnDisk = false;
    if (!IsAttached())
        return 1;
    const QString path = FilePath();
    TrackingDocument loaded;
    const auto result
        = path.isEmpty() ? TrackingFile::ReadResult::Missing : TrackingFile::Read(path, &loaded);
    if (result == TrackingFile::ReadResult::Loaded) {
        m_document = std::move(loaded);
    } else {
        // The graphs of the patient shown before are no one else's: a patient
        // without a file starts from the default graphs.
        m_document = { 0, TrackingFile::DefaultGraphs() };
        if (result == TrackingFile::ReadResult::Unreadable) {
            m_bUnreadableOnDisk = true;
            LogError(QStringLiteral("CLogicTracking::Load() cannot read %1").arg(path));
        }
    }
    m_refused.clear();
    PushToControl();
    return 1;
}

void CLogicTracking::PushToControl()
{
    m_graphGrid.Call(Plenora::kRemoveAllGraphs);
    m_refused.assign(m_document.graphs.size(), {});
    for (size_t i = 0; i < m_document.graphs.size(); ++i) {
        const TrackingGraph &graph = m_document.graphs[i];
        const QString id = GraphId(i);
        m_graphGrid.Call(
            Plenora::kAddNewGraph, { id, graph.name, QVariant::fromValue<quint32>(graph.color) });
        // One point per day: a second point on a day (possible only in a
        // file edited elsewhere) would clear the first in the control, so the
        // last one of the day is taken.
        std::map<QDate, int> days;
        for (const TrackingPoint &point : graph.points)
            days[point.date] = point.value;
        for (const auto &[date, value] : days) {
            const Component::HRESULT selected
                = m_graphGrid.Call(Plenora::kSelectDT, { id, Verdanta::ToOleDate(date), value });
            // A score the control cannot show (outside its rows) is kept
            // aside and written back with the others.
            if (selected != Component::S_OK)
                m_refused[i].push_back({ date, value });
        }
        m_graphGrid.Call(Plenora::kSetGraphVisible, { id, graph.visible != 0 });
        m_pView->ShowRow(static_cast<int>(i), graph.name, graph.color, graph.visible != 0,
            static_cast<int>(i) == m_document.currentGraph);
    }
    // Rows without a graph show nothing of the patient before.
    for (int row = static_cast<int>(m_document.graphs.size()); row < IWellnessView::RowCount; ++row)
        m_pView->ShowRow(row, QString(), 0, false, false);
    // Clicks edit the current graph, or none while every graph is shown.
    if (m_pView->IsShowAllChecked())
        ShowAll(true);
    else
        SetCurrentInControl(m_document.currentGraph);
    Redraw();
}

void CLogicTracking::ReadBack()
{
    for (size_t i = 0; i < m_document.graphs.size(); ++i) {
        TrackingGraph &graph = m_document.graphs[i];
        const QString id = GraphId(i);
        QVariant count;
        m_graphGrid.Call(Plenora::kGetGraphPointsNo, { id }, &count);
        graph.points.clear();
        graph.points.reserve(static_cast<size_t>(std::max(0, count.toInt())));
        QVariantList arguments { id, 0, QVariant(), QVariant() };
        for (int k = 0; k < count.toInt(); ++k) {
            arguments[1] = k;
            if (m_graphGrid.Invoke(Plenora::kGetGraphPoint, Component::InvokeKind::Method, arguments, nullptr)
                != Component::S_OK)
                continue;
            const QDate date = Verdanta::DateFromOleDate(arguments[2].toDouble());
            if (date.isValid())
                graph.points.push_back({ date, arguments[3].toInt() });
        }
        if (i < m_refused.size() && !m_refused[i].empty()) {
            QSet<QDate> shown;
            for (const TrackingPoint &point : graph.points)
                shown.insert(point.date);
            for (const TrackingPoint &point : m_refused[i]) {
                if (!shown.contains(point.date))
                    graph.points.push_back(point);
            }
            std::stable_sort(graph.points.begin(), graph.points.end(),
                [](const TrackingPoint &a, const TrackingPoint &b) { return a.date < b.date; });
        }
        if (const auto row = m_pView->ReadRow(static_cast<int>(i))) {
            graph.visible = row->visible ? 1 : 0;
            graph.name = row->name;
            if (row->current)
                m_document.currentGraph = static_cast<int>(i);
        }
    }
}

int CLogicTracking::Save()
{
    const qint64 patient = m_context.CurrentPatientId();
    if (!IsAttached() || patient <= 0 || patient != m_loadedFor)
        return 1;
    const QString path = FilePath();
    if (path.isEmpty())
        return 0;
    ReadBack();
    // A patient who never had wellness scores gets no file: the default
    // graphs without points are what a missing file shows anyway.
    if (!m_bUnreadableOnDisk && m_document.currentGraph == 0
        && m_document.graphs == TrackingFile::DefaultGraphs() && !QFileInfo::exists(path)) {
        m_bNewPatient = false;
        return 1;
    }
    auto write = [this, path, document = m_document, patient, unreadable = m_bUnreadableOnDisk] {
        // A file that could not be read is kept for a person to recover.
        if (unreadable && !SideFiles::SetAsideUnreadable(path))
            return false;
        QString error;
        if (!TrackingFile::Write(path, document, &error)) {
            LogError(QStringLiteral("CLogicTracking::Save() cannot write %1: %2").arg(path, error));
            return false;
        }
        if (m_loadedFor == patient) {
            m_bUnreadableOnDisk = false;
            m_bNewPatient = false;
        }
        return true;
    };
    if (!m_context.IsSaving())
        return write() ? 1 : 0;
    m_context.AfterCommit(std::move(write));
    return 1;
}

void CLogicTracking::MarkNewPatient()
{
    if (m_graphGrid.IsValid()) {
        m_graphGrid.Call(Plenora::kRemoveAllGraphs);
        Redraw();
    }
    ClearPoints();
    m_document.currentGraph = 0;
    m_bNewPatient = true;
}

int CLogicTracking::OnCommand(LogicCommand &command)
{
    if (!IsAttached())
        return 0;
    const int graphCount = static_cast<int>(m_document.graphs.size());
    const auto checked = [&command](bool otherwise) {
        return command.control ? command.control->property("checked").toBool() : otherwise;
    };
    switch (command.code) {
    case CommandCode::WellnessShowAll:
        ShowAll(checked(m_pView->IsShowAllChecked()));
        return 1;
    case CommandCode::WellnessCurrentGraph: {
        const qint64 index = command.id - IWellnessView::CurrentRadioId;
        if (index < 0 || index >= graphCount)
            return 0;
        // Remembered too, so that "Show All" unchecked later makes this
        // graph current again rather than the one loaded.
        m_document.currentGraph = static_cast<int>(index);
        SetCurrentInControl(m_document.currentGraph);
        Redraw();
        return 1;
    }
    case CommandCode::WellnessGraphVisible: {
        const qint64 index = command.id - IWellnessView::VisibleBoxId;
        if (index < 0 || index >= graphCount)
            return 0;
        const auto row = m_pView->ReadRow(static_cast<int>(index));
        const bool visible = checked(row ? row->visible : false);
        m_graphGrid.Call(Plenora::kSetGraphVisible, { GraphId(static_cast<size_t>(index)), visible });
        Redraw();
        return 1;
    }
    default:
        return 0;
    }
}

void CLogicTracking::ShowAll(bool checked)
{
    if (!IsAttached())
        return;
    if (checked)
        m_graphGrid.Put(Plenora::kCurrentGraph, QStringLiteral("-1"));
    for (size_t i = 0; i < m_document.graphs.size(); ++i) {
        bool visible = true;
        if (!checked) {
            const auto row = m_pView->ReadRow(static_cast<int>(i));
            visible = row ? row->visible : m_document.graphs[i].visible != 0;
        }
        m_graphGrid.Call(Plenora::kSetGraphVisible, { GraphId(i), visible });
    }
    if (!checked)
        SetCurrentInControl(m_document.currentGraph);
    Redraw();
}

void CLogicTracking::SetCurrentInControl(int index) const
{
    m_graphGrid.Put(Plenora::kCurrentGraph, QString::number(index));
}

void CLogicTracking::Redraw() const
{
    m_graphGrid.Call(Plenora::kRedraw);
}
