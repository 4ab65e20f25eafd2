#include "richedit/RtfReadReport.h"

#include <QtCore/QCoreApplication>

#include <algorithm>
#include <limits>

namespace RichEdit {

namespace {

QString describe(const RtfReadReport::Entry &entry)
{
    using Issue = RtfReadReport::Issue;
    const auto tr = [&entry](const char *text) {
        return QCoreApplication::translate("RichEdit::RtfReadReport", text, nullptr, entry.count);
    };
    switch (entry.issue) {
    case Issue::TablesFlattened:
        return tr("%n table row(s) turned into lines with tabs between the cells");
    case Issue::PicturesDropped:
        return tr("%n picture(s) left out");
    case Issue::ObjectsDropped:
        return tr("%n embedded object(s) left out (the text they showed is kept)");
    case Issue::LinksAsText:
        return tr("%n link(s) kept as plain text");
    case Issue::NotesInBrackets:
        return tr("%n footnote(s) or comment(s) kept in brackets where they stood");
    case Issue::HeadersFootersInBrackets:
        return tr("%n page header(s) or footer(s) kept in brackets in the text");
    case Issue::TextBoxesAsParagraphs:
        return tr("%n text box(es) kept as paragraphs");
    case Issue::SymbolsAsPrivateUse:
        return tr("%n symbol-font character(s) without a standard character");
    case Issue::UnbalancedBraces:
        return tr("%n unbalanced brace(s) ignored");
    case Issue::NestingTooDeep:
        return tr("%n group(s) nested too deeply, read as plain text");
    case Issue::ControlBytesIgnored:
        return tr("%n stray control byte(s) ignored");
    case Issue::CodePageUnavailable:
        return tr("code page %1 is not available: %n character(s) shown as \uFFFD").arg(entry.value);
    case Issue::UndecodableCharacters:
        return tr("%n character(s) could not be decoded and are shown as \uFFFD");
    case Issue::Truncated:
        return tr("the rich text ends early: its end may be missing");
    }
    return QString();
}

} // namespace

void RtfReadReport::add(Issue issue, int count, int value)
{
    if (count <= 0)
        return;
    const auto at = std::find_if(entries.begin(), entries.end(), [&](const Entry &entry) {
        return entry.issue > issue || (entry.issue == issue && entry.value >= value);
    });
    if (at != entries.end() && at->issue == issue && at->value == value)
        at->count = int(std::min<qint64>(qint64(at->count) + count, std::numeric_limits<int>::max()));
    else
        entries.insert(at, Entry { issue, count, value });
    if (losesText(issue))
        textMayBeLost = true;
}

int RtfReadReport::count(Issue issue) const
{
    qint64 total = 0;
    for (const Entry &entry : entries) {
        if (entry.issue == issue)
            total += entry.count;
    }
    return int(std::min<qint64>(total, std::numeric_limits<int>::max()));
}

QStringList RtfReadReport::descriptions() const
{
    QStringList lines;
    for (const Entry &entry : entries)
        lines << describe(entry);
    return lines;
}

bool RtfReadReport::losesText(Issue issue)
{
    return issue == Issue::CodePageUnavailable || issue == Issue::UndecodableCharacters
        || issue == Issue::Truncated;
}

} // namespace RichEdit
