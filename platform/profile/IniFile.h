#pragma once

#include "profile_export.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

namespace Profile {

// A profile (INI) file read and written the way the platform's profile
// functions do it, so that a file shared with another program keeps its shape:
// section and key names compare without regard to case, the first of duplicate
// sections or keys wins, values are taken literally (no escapes; blanks around
// them and one pair of enclosing quotes are dropped), lines the file already
// has (comments, other sections, unknown lines) keep their text and order, and
// a new key goes after the last entry of its section.
class PROFILE_EXPORT IniFile
{
public:
    // A missing file reads as an empty profile. False (and the profile left
    // empty) when the file exists but cannot be read or is unreasonably large.
    bool Load(const QString &path, QString *error = nullptr);
    // Writes the whole file atomically, creating its folder when missing.
    bool Save(const QString &path, QString *error = nullptr) const;

    void Parse(const QString &text);
    QString ToText() const;

    bool ContainsSection(const QString &section) const;
    bool Contains(const QString &section, const QString &key) const;
    QString Value(const QString &section, const QString &key, const QString &defaultValue = QString()) const;
    QStringList Sections() const;
    QStringList Keys(const QString &section) const;

    // Names and values cannot hold line breaks, a key cannot hold '=' and a
    // section name cannot hold ']': such a write is refused (false) rather than
    // letting it add lines of its own to the file.
    bool SetValue(const QString &section, const QString &key, const QString &value);
    // Replaces everything in the section with the "key=value" entries (the
    // section is added at the end when missing).
    bool SetSection(const QString &section, const QStringList &entries);
    void RemoveKey(const QString &section, const QString &key);
    void RemoveSection(const QString &section);

private:
    struct Line
    {
        QString text;
        QString key; // trimmed key of a "key=value" line, empty otherwise
        bool entry = false;
    };
    struct Section
    {
        bool preamble = false; // lines before the first section header
        QString name;
        QString header;
        std::vector<Line> lines;
    };

    static Line MakeLine(const QString &text);
    const Section *FindSection(const QString &name) const;
    Section *FindSection(const QString &name);
    Section &SectionForWriting(const QString &name);
    static const Line *FindEntry(const Section &section, const QString &key);
    // The blank and comment lines after the last entry of a section: they
    // separate it from the next one and stay where they are when it changes.
    static std::vector<Line>::iterator Tail(Section &section);

    std::vector<Section> m_sections;
    bool m_crlf = false;
};

// The profile calls: each one reads (and, when writing, rewrites) the file. A
// bare file name lives in the Windows directory (ResolveProfilePath).
PROFILE_EXPORT QString GetProfileString(
    const QString &section, const QString &key, const QString &defaultValue, const QString &file);
PROFILE_EXPORT bool WriteProfileString(
    const QString &section, const QString &key, const QString &value, const QString &file);
PROFILE_EXPORT bool WriteProfileSection(
    const QString &section, const QStringList &entries, const QString &file);

} // namespace Profile
