#pragma once

#include "rubrics/CLogicMetaWords.h"

#include "core/CommandCodes.h"
#include "core/LogicCommand.h"
#include "shell/CLogicMain.h"

#include <QtCore/QByteArray>
#include <QtCore/QFile>
#include <QtCore/QPair>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QXmlStreamReader>

#include <vector>

namespace RubricsTest {

inline const QString Stamp = QStringLiteral("03/02/2024 10:15:00");

// A keyword as the notes hand it to the hub (code 65).
inline int SendKeyword(
    CLogicMain &hub, qint64 consultation, const QString &keyword, const QString &stamp = Stamp)
{
    LogicCommand command;
    command.code = CommandCode::AddKeyword;
    command.text = QString::number(consultation);
    command.resultText1 = keyword;
    command.resultText2 = stamp;
    return hub.OnCommand(command);
}

// A request to the repertory program as the keywords bar's menu makes it.
inline int SendRequest(CLogicMain &hub, int lineIndex, int flag)
{
    LogicCommand command;
    command.code = CommandCode::RadarRequest;
    command.id = lineIndex;
    command.subCommand = flag;
    return hub.OnCommand(command);
}

inline QStringList Contents(const CLogicMetaWords &metaWords)
{
    QStringList contents;
    for (const auto &line : metaWords.GetLines())
        contents << line->Content;
    return contents;
}

using Leaves = std::vector<QPair<QString, QString>>;

// The leaf elements of an XML text with their slash-separated paths, in
// document order.
inline Leaves LeafElements(const QByteArray &xml)
{
    Leaves leaves;
    QStringList path;
    QString text;
    bool leaf = false;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            path << reader.name().toString();
            text.clear();
            leaf = true;
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (leaf)
                leaves.push_back({ path.join(QLatin1Char('/')), text });
            leaf = false;
            path.removeLast();
            break;
        default:
            break;
        }
    }
    return reader.hasError() ? Leaves() : leaves;
}

inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A "WordSearch.xml" holding the given lines, each a list of child values
// named by position.
inline QByteArray WordSearchFile(const std::vector<QStringList> &lines)
{
    static const QStringList names = { QStringLiteral("Content"), QStringLiteral("ContentSourceID"),
        QStringLiteral("SourceTimeStamp"), QStringLiteral("Type"), QStringLiteral("Extra") };
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MetaWords>";
    for (const QStringList &values : lines) {
        xml += "<MetaWord>";
        for (int i = 0; i < values.size(); ++i) {
            const QByteArray name = names.value(i, QStringLiteral("More")).toUtf8();
            xml += "<" + name + ">" + values.at(i).toHtmlEscaped().toUtf8() + "</" + name + ">";
        }
        xml += "</MetaWord>";
    }
    return xml + "</MetaWords>\n";
}

} // namespace RubricsTest
