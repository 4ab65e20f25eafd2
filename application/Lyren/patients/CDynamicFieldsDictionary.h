#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

// The names of the custom fields every new patient receives: an ordered list
// of distinct, trimmed, non-empty names, kept in an XML side file (root
// "Dynamic_Fields", one "Field" element per name).
class CDynamicFieldsDictionary
{
public:
    enum class LoadResult { Loaded, Missing, Unreadable };

    // Replaces the names with those of the file: the text of every child of
    // the root in order, whatever the children's names; blank names and
    // repeats are dropped. A missing or unreadable file leaves no names.
    LoadResult Load(const QString &path);
    // Writes every name; the file is replaced whole or not at all. A file that
    // could not be read when it was loaded is kept aside first rather than
    // overwritten. False when the file could not be written (the names stay
    // unsaved until the next Save).
    bool Save(const QString &path);

    const QStringList &Names() const { return m_names; }
    bool Contains(const QString &name) const;
    // False when the trimmed name is empty or already there.
    bool Add(const QString &name);
    // False when the trimmed name is not there.
    bool Remove(const QString &name);
    // Names changed since the last load or successful save.
    bool HasUnsavedChanges() const { return m_bUnsaved; }

private:
    QStringList m_names;
    bool m_bUnsaved = false;
    bool m_bUnreadableOnDisk = false;
};
