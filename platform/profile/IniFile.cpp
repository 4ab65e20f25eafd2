#include "profile/IniFile.h"

#include "profile/WindowsDirectory.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>

namespace Profile {

namespace {

// Profile files are small; anything larger is not one.
constexpr qint64 MaximumFileSize = 16 * 1024 * 1024;

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool ValidKey(const QString &key)
{
    return !key.trimmed().isEmpty() && !HasLineBreak(key) && !key.contains(QLatin1Char('='));
}

bool ValidSection(const QString &section)
{
    return !HasLineBreak(section) && !section.contains(QLatin1Char(']'));
}

QString Unquoted(const QString &value)
{
    const QString v = value.trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

} // namespace

IniFile::Line IniFile::MakeLine(const QString &text)
{
    Line line;
    line.text = text;
    const QString trimmed = text.trimmed();
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals > 0 && !trimmed.startsWith(QLatin1Char(';'))) {
        line.key = trimmed.left(equals).trimmed();
        line.entry = !line.key.isEmpty();
    }
    return line;
}

bool IniFile::Load(const QString &path, QString *error)
{
    m_sections.clear();
    m_crlf = false;
    QFile file(path);
    if (!file.exists())
        return true;
    if (file.size() > MaximumFileSize) {
        if (error)
            *error = QStringLiteral("%1 is too large for a profile file").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(MaximumFileSize + 1);
    Parse(QString::fromUtf8(bytes));
    return true;
}

bool IniFile::Save(const QString &path, QString *error) const
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = ToText().toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void IniFile::Parse(const QString &input)
{
    m_sections.clear();
    QString text = input;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    m_crlf = text.contains(QLatin1String("\r\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the file's final line break
    for (QString &raw : lines) {
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
            Section section;
            section.name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            section.header = raw;
            m_sections.push_back(std::move(section));
            continue;
        }
        if (m_sections.empty()) {
            Section preamble;
            preamble.preamble = true;
            m_sections.push_back(std::move(preamble));
        }
        m_sections.back().lines.push_back(MakeLine(raw));
    }
}

QString IniFile::ToText() const
{
    const QString eol = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const Section &section : m_sections) {
        if (!section.preamble)
            text += section.header + eol;
        for (const Line &line : section.lines)
            text += line.text + eol;
    }
    return text;
}

const IniFile::Section *IniFile::FindSection(const QString &name) const
{
    for (const Section &section : m_sections) {
        if (!section.preamble && SameName(section.name, name.trimmed()))
            return &section;
    }
    return nullptr;
}

IniFile::Section *IniFile::FindSection(const QString &name)
{
    return const_cast<Section *>(std::as_const(*this).FindSection(name));
}

IniFile::Section &IniFile::SectionForWriting(const QString &name)
{
    if (Section *existing = FindSection(name))
        return *existing;
    Section section;
    section.name = name.trimmed();
    section.header = QLatin1Char('[') + section.name + QLatin1Char(']');
    m_sections.push_back(std::move(section));
    return m_sections.back();
}

std::vector<IniFile::Line>::iterator IniFile::Tail(Section &section)
{
    auto tail = section.lines.end();
    while (tail != section.lines.begin() && !std::prev(tail)->entry)
        --tail;
    return tail;
}

const IniFile::Line *IniFile::FindEntry(const Section &section, const QString &key)
{
    for (const Line &line : section.lines) {
        if (line.entry && SameName(line.key, key.trimmed()))
            return &line;
    }
    return nullptr;
}

bool IniFile::ContainsSection(const QString &section) const
{
    return FindSection(section) != nullptr;
}

bool IniFile::Contains(const QString &section, const QString &key) const
{
    const Section *s = FindSection(section);
    return s && FindEntry(*s, key);
}

QString IniFile::Value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Section *s = FindSection(section);
    const Line *line = s ? FindEntry(*s, key) : nullptr;
    if (!line)
        return defaultValue;
    return Unquoted(line->text.mid(line->text.indexOf(QLatin1Char('=')) + 1));
}

QStringList IniFile::Sections() const
{
    QStringList names;
    for (const Section &section : m_sections) {
        if (!section.preamble)
            names << section.name;
    }
    return names;
}

QStringList IniFile::Keys(const QString &section) const
{
    QStringList keys;
    if (const Section *s = FindSection(section)) {
        for (const Line &line : s->lines) {
            if (line.entry)
                keys << line.key;
        }
    }
    return keys;
}

bool IniFile::SetValue(const QString &section, const QString &key, const QString &value)
{
    if (!ValidSection(section) || !ValidKey(key) || HasLineBreak(value))
        return false;
    Section &s = SectionForWriting(section);
    const Line newLine = MakeLine(key.trimmed() + QLatin1Char('=') + value);
    for (Line &line : s.lines) {
        if (line.entry && SameName(line.key, key.trimmed())) {
            line = newLine;
            return true;
        }
    }
    s.lines.insert(Tail(s), newLine);
    return true;
}

bool IniFile::SetSection(const QString &section, const QStringList &entries)
{
    if (!ValidSection(section))
        return false;
    for (const QString &entry : entries) {
        if (HasLineBreak(entry))
            return false;
    }
    Section &s = SectionForWriting(section);
    std::vector<Line> lines;
    for (const QString &entry : entries)
        lines.push_back(MakeLine(entry));
    lines.insert(lines.end(), Tail(s), s.lines.end());
    s.lines = std::move(lines);
    return true;
}

void IniFile::RemoveKey(const QString &section, const QString &key)
{
    Section *s = FindSection(section);
    if (!s)
        return;
    std::erase_if(
        s->lines, [&](const Line &line) { return line.entry && SameName(line.key, key.trimmed()); });
}

void IniFile::RemoveSection(const QString &section)
{
    std::erase_if(
        m_sections, [&](const Section &s) { return !s.preamble && SameName(s.name, section.trimmed()); });
}

QString GetProfileString(
    const QString &section, const QString &key, const QString &defaultValue, const QString &file)
{
    IniFile ini;
    if (!ini.Load(ResolveProfilePath(file)))
        return defaultValue;
    return ini.Value(section, key, defaultValue);
}

bool WriteProfileString(const QString &section, const QString &key, const QString &value, const QString &file)
{
    const QString path = ResolveProfilePath(file);
    IniFile ini;
    return ini.Load(path) && ini.SetValue(section, key, value) && ini.Save(path);
}

bool WriteProfileSection(const QString &section, const QStringList &entries, const QString &file)
{
    const QString path = ResolveProfilePath(file);
    IniFile ini;
    return ini.Load(path) && ini.SetSection(section, entries) && ini.Save(path);
}

} // namespace Profile
