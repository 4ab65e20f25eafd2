#pragma once

#include "richedit_export.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace RichEdit {

// What a read of RTF could not represent as it stood, so that the program
// can tell the user once. Entries are summed per kind (and per code page).
struct RICHEDIT_EXPORT RtfReadReport
{
    enum class Issue {
        // The text is all there, in another form.
        TablesFlattened, // count: rows; cells became tab-separated text, rows paragraphs
        PicturesDropped, // count
        ObjectsDropped, // count; the text an object showed is kept
        LinksAsText, // count: hyperlinks kept as their text
        NotesInBrackets, // count: footnotes, endnotes and comments kept in brackets where they stood
        HeadersFootersInBrackets, // count: headers and footers kept as bracketed paragraphs
        TextBoxesAsParagraphs, // count
        SymbolsAsPrivateUse, // count: symbol-font glyphs without a Unicode character
        UnbalancedBraces, // count: closing braces without an opening one
        NestingTooDeep, // count: groups read as if they were not groups
        ControlBytesIgnored, // count: raw control bytes that are not RTF
        // Some text may be missing or shown as U+FFFD.
        CodePageUnavailable, // value: the code page; count: characters shown as U+FFFD
        UndecodableCharacters, // count: bytes or \uN values shown as U+FFFD
        Truncated, // the data ends inside a group or inside binary data
    };

    struct Entry
    {
        Issue issue = Issue::TablesFlattened;
        int count = 0;
        int value = 0;

        friend bool operator==(const Entry &, const Entry &) = default;
    };

    // True when the data was RTF and the document now holds it.
    bool read = false;
    // Why the data could not be read; empty when it was.
    QString error;
    // True when some of the visible text may be missing or replaced.
    bool textMayBeLost = false;
    QList<Entry> entries;

    // Adds count to the entry of issue (and value), creating it in order.
    void add(Issue issue, int count = 1, int value = 0);
    int count(Issue issue) const;
    bool has(Issue issue) const { return count(issue) > 0; }
    // Read, with nothing approximated or lost.
    bool isClean() const { return read && entries.isEmpty(); }
    // One short line per entry, in the user's language, for a single notice.
    QStringList descriptions() const;

    static bool losesText(Issue issue);
};

} // namespace RichEdit
