#pragma once

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringView>

#include <vector>

// One day's wellness score: the day and the row of the graph grid it sits in.
struct TrackingPoint
{
    QDate date;
    int value = 0;

    bool operator==(const TrackingPoint &other) const = default;
};

// One wellness graph of a patient: its name (shown in the name field of its
// row), whether it is drawn, its colour (0x00BBGGRR, also the text colour of
// its name field) and its scores.
struct TrackingGraph
{
    QString name;
    int visible = 0;
    quint32 color = 0;
    std::vector<TrackingPoint> points;

    bool operator==(const TrackingGraph &other) const = default;
};

// What "Tracking.xml" holds: the graph that clicks edit and the graphs in row
// order (the index is the graph's identifier in the graph grid).
struct TrackingDocument
{
    int currentGraph = 0;
    std::vector<TrackingGraph> graphs;
};

namespace TrackingFile {

inline const QString FileName = QStringLiteral("Tracking.xml");

// The five graphs a patient starts with: "MENTAL", "PHYSICAL" and
// "EMOTIONAL" shown in red, green and blue, two unnamed hidden ones in orange
// and dark red.
std::vector<TrackingGraph> DefaultGraphs();

// The "Points" text: "ddMMyyyy-NN;" per point, the value with at least two
// digits.
QString FormatPoints(const std::vector<TrackingPoint> &points);
// Reads a "Points" text. Only tokens followed by ";" count, and a text that
// starts with ";" holds none; a token of eight characters or fewer is
// skipped. The first eight characters are the day, month and year; the rest,
// after one "-", is the value as a whole number (so that a value of 100 and
// more reads back whole). Tokens whose day does not exist are skipped.
std::vector<TrackingPoint> ParsePoints(QStringView text);

// A whole number read from the start of a text as a C decimal conversion
// reads it: blanks, a sign, the digits up to the first other character; 0
// when there are none, clamped to the 64-bit range.
qint64 DecimalPrefix(QStringView text);

enum class ReadResult { Loaded, Missing, Unreadable };
// Reads the file into 'document' (replacing its graphs) when it loads; leaves
// it untouched otherwise.
ReadResult Read(const QString &path, TrackingDocument *document);
// Writes the whole file in one step; false, with the reason, when it cannot
// be written (the previous file then stays as it was).
bool Write(const QString &path, const TrackingDocument &document, QString *error = nullptr);

} // namespace TrackingFile
