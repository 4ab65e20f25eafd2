#include "patients/CDynamicFieldsDictionary.h"

#include "patients/SideFiles.h"

#include "core/Loggers.h"

#include "Sylvan/Document.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace {

const QString RootName = QStringLiteral("Dynamic_Fields");
const QString FieldName = QStringLiteral("Field");

void LogError(const QString &text)
{
    Loggers::Log(Loggers::Category::Folders, Loggers::Error, text);
}

} // namespace

CDynamicFieldsDictionary::LoadResult CDynamicFieldsDictionary::Load(const QString &path)
{
    m_names.clear();
    m_bUnsaved = false;
    m_bUnreadableOnDisk = false;
    if (!QFileInfo::exists(path))
        return LoadResult::Missing;
    Sylvan::DocumentPtr document(DocumentFactory());
    if (!document || !document->Initialize() || !document->Load(path)) {
        LogError(QStringLiteral("CDynamicFieldsDictionary::Load() cannot read %1: %2")
                     .arg(path, document ? document->GetErrorDescription() : QString()));
        m_bUnreadableOnDisk = true;
        return LoadResult::Unreadable;
    }
    const Sylvan::IElement *root = document->GetRootElement();
    for (int i = 0; root && i < root->GetChildCount(); ++i) {
        const QString name = root->GetChild(i)->GetText().trimmed();
        if (!name.isEmpty() && !m_names.contains(name))
            m_names << name;
    }
    return LoadResult::Loaded;
}

bool CDynamicFieldsDictionary::Save(const QString &path)
{
    Sylvan::DocumentPtr document(DocumentFactory());
    if (!document || !document->Initialize()) {
        LogError(QStringLiteral("CDynamicFieldsDictionary::Save() has no XML document: %1")
                     .arg(document ? document->GetErrorDescription() : QString()));
        return false;
    }
    Sylvan::IElement *root = document->GetRootElement();
    root->SetName(RootName);
    for (const QString &name : std::as_const(m_names))
        root->AddChild(FieldName, name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (m_bUnreadableOnDisk) {
        if (!SideFiles::SetAsideUnreadable(path))
            return false;
        m_bUnreadableOnDisk = false;
    }
    if (!document->Save(path)) {
        LogError(QStringLiteral("CDynamicFieldsDictionary::Save() %1").arg(document->GetErrorDescription()));
        return false;
    }
    m_bUnsaved = false;
    return true;
}

bool CDynamicFieldsDictionary::Contains(const QString &name) const
{
    return m_names.contains(name.trimmed());
}

bool CDynamicFieldsDictionary::Add(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || m_names.contains(trimmed))
        return false;
    m_names << trimmed;
    m_bUnsaved = true;
    return true;
}

bool CDynamicFieldsDictionary::Remove(const QString &name)
{
    if (!m_names.removeOne(name.trimmed()))
        return false;
    m_bUnsaved = true;
    return true;
}
