#include "tracking/TrackingFile.h"

#include "Sylvan/Document.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <limits>

namespace TrackingFile {

namespace {

const QString RootName = QStringLiteral("Graphs");
const QString CurrentGraphName = QStringLiteral("Current_Graph");
const QString GraphName = QStringLiteral("Graph");
const QString NameName = QStringLiteral("Name");
const QString PointsName = QStringLiteral("Points");
const QString ColorName = QStringLiteral("Color");
const QString VisibleName = QStringLiteral("Visible");

// A graph has its four values as its first four children, in this order.
constexpr int NameChild = 0;
constexpr int PointsChild = 1;
constexpr int ColorChild = 2;
constexpr int VisibleChild = 3;
constexpr int GraphChildren = 4;
constexpr int DateLength = 8;

int ToInt(qint64 value)
{
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The decimal digits of a number that is not negative, with leading zeros up
// to 'width'.
void AppendPadded(QString &text, qint64 value, int width)
{
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = count; i < width; ++i)
        text += u'0';
    while (count > 0)
        text += QLatin1Char(digits[--count]);
}

TrackingGraph ReadGraph(const Sylvan::IElement &element)
{
    TrackingGraph graph;
    graph.name = element.GetChild(NameChild)->GetText();
    graph.points = ParsePoints(element.GetChild(PointsChild)->GetText());
    // The colour is written as a signed 32-bit number; its low 32 bits are the colour.
    graph.color = static_cast<quint32>(DecimalPrefix(element.GetChild(ColorChild)->GetText()));
    graph.visible = ToInt(DecimalPrefix(element.GetChild(VisibleChild)->GetText()));
    return graph;
}

} // namespace

std::vector<TrackingGraph> DefaultGraphs()
{
    return {
        { QStringLiteral("MENTAL"), 1, 255, {} },
        { QStringLiteral("PHYSICAL"), 1, 32768, {} },
        { QStringLiteral("EMOTIONAL"), 1, 16711680, {} },
        { QString(), 0, 33023, {} },
        { QString(), 0, 128, {} },
    };
}

QString FormatPoints(const std::vector<TrackingPoint> &points)
{
    // Ten years of daily scores are tens of thousands of points: the text is
    // written digit by digit rather than through formatting calls.
    QString text;
    text.reserve(static_cast<qsizetype>(points.size()) * 13);
    for (const TrackingPoint &point : points) {
        AppendPadded(text, point.date.day(), 2);
        AppendPadded(text, point.date.month(), 2);
        AppendPadded(text, point.date.year(), 4);
        text += u'-';
        if (point.value < 0)
            text += u'-';
        AppendPadded(text, point.value < 0 ? -qint64(point.value) : qint64(point.value), 2);
        text += u';';
    }
    return text;
}

std::vector<TrackingPoint> ParsePoints(QStringView text)
{
    std::vector<TrackingPoint> points;
    if (text.startsWith(u';'))
        return points;
    qsizetype start = 0;
    for (qsizetype end = text.indexOf(u';'); end >= 0; end = text.indexOf(u';', start)) {
        const QStringView token = text.mid(start, end - start);
        start = end + 1;
        if (token.size() <= DateLength)
            continue;
        const QDate date(ToInt(DecimalPrefix(token.mid(4, 4))), ToInt(DecimalPrefix(token.mid(2, 2))),
            ToInt(DecimalPrefix(token.first(2))));
        if (!date.isValid())
            continue;
        QStringView value = token.sliced(DateLength);
        if (value.startsWith(u'-'))
            value = value.sliced(1);
        points.push_back({ date, ToInt(DecimalPrefix(value)) });
    }
    return points;
}

qint64 DecimalPrefix(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    // Accumulated as a negative number, whose range holds the minimum.
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (value < (lowest + digit) / 10) {
            value = lowest;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == lowest ? std::numeric_limits<qint64>::max() : -value;
}

ReadResult Read(const QString &path, TrackingDocument *document)
{
    if (!QFileInfo::exists(path))
        return ReadResult::Missing;
    Sylvan::DocumentPtr file(DocumentFactory());
    if (!file || !file->Initialize() || !file->Load(path))
        return ReadResult::Unreadable;
    const Sylvan::IElement *root = file->GetRootElement();
    document->graphs.clear();
    for (int i = 0; root && i < root->GetChildCount(); ++i) {
        const Sylvan::IElement *child = root->GetChild(i);
        if (child->GetChildCount() >= GraphChildren)
            document->graphs.push_back(ReadGraph(*child));
        else if (child->GetName() == CurrentGraphName)
            document->currentGraph = ToInt(DecimalPrefix(child->GetText()));
    }
    return ReadResult::Loaded;
}

bool Write(const QString &path, const TrackingDocument &document, QString *error)
{
    Sylvan::DocumentPtr file(DocumentFactory());
    if (!file || !file->Initialize()) {
        if (error)
            *error = file ? file->GetErrorDescription() : QString();
        return false;
    }
    Sylvan::IElement *root = file->GetRootElement();
    root->SetName(RootName);
    root->AddChild(CurrentGraphName, QString::number(document.currentGraph));
    for (const TrackingGraph &graph : document.graphs) {
        Sylvan::IElement *element = ElementFactory();
        element->SetName(GraphName);
        element->AddChild(NameName, graph.name);
        element->AddChild(PointsName, FormatPoints(graph.points));
        element->AddChild(ColorName, QString::number(static_cast<qint32>(graph.color)));
        element->AddChild(VisibleName, QString::number(graph.visible));
        // The root owns what it took; an element it refused is freed here.
        if (!root->AppendChild(element))
            element->Release();
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!file->Save(path)) {
        if (error)
            *error = file->GetErrorDescription();
        return false;
    }
    return true;
}

} // namespace TrackingFile
