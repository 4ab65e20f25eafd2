#include "patients/CLogicDocuments.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"

#include "Korbel/XListCtrl/IXListCtrl.h"
#include "desktop/FileDialogs.h"
#include "desktop/Prompts.h"
#include "desktop/Shell.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>

namespace {

constexpr qint64 CopyBlockSize = qint64(1) << 20;

} // namespace

CLogicDocuments::CLogicDocuments(LogicContext &context)
    : m_context(context)
{ }

QString CLogicDocuments::DialogFilter()
{
    const QStringList patterns = { QStringLiteral("*.doc"), QStringLiteral("*.rtf"), QStringLiteral("*.html"),
        QStringLiteral("*.txt"), QStringLiteral("*.pdf"), QStringLiteral("*.xls") };
    const QString list = patterns.join(QStringLiteral("; "));
    return tr("Document Files (%1)| %2|All files (*.*)|*.*||").arg(list, list);
}

QString CLogicDocuments::RemoveQuestion()
{
    return tr("Are you sure you want to remove %1?");
}

QString CLogicDocuments::ReplaceQuestion()
{
    return tr("A document named %1 is already in the patient's folder.\nDo you want to replace it?\n\n"
              "Yes replaces it. No keeps both: the new file is added as %2.");
}

Korbel::IXListCtrl *CLogicDocuments::List() const
{
    auto *view = m_context.Services().Get<IPatientDocumentsView>();
    return view ? view->DocumentsList() : nullptr;
}

QWidget *CLogicDocuments::DialogParent(const LogicCommand &command) const
{
    if (command.window)
        return command.window;
    Korbel::IXListCtrl *list = List();
    return list ? list->DialogParent() : m_context.DialogParent();
}

int CLogicDocuments::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::ImportDocument:
        return AddFromDialog(DialogParent(command));
    case CommandCode::DocumentsDropped:
        return AddDocument(command.text, DialogParent(command));
    case CommandCode::OpenDocument:
        return command.subCommand == PageSubCommand::ShowCurrent ? Fill() : Open();
    case CommandCode::DeleteDocument:
        return Remove(DialogParent(command));
    default:
        return 0;
    }
}

bool CLogicDocuments::IsDocumentName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QStringList CLogicDocuments::DocumentNames(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString &name) { return !IsDocumentName(name); });
    return names;
}

QString CLogicDocuments::FreeName(const QString &folder, const QString &name)
{
    const QFileInfo info(name);
    const QString base = info.suffix().isEmpty() ? name : info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QDir dir(folder);
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (!QFileInfo::exists(dir.filePath(candidate)) && !QFileInfo(dir.filePath(candidate)).isSymLink())
            return candidate;
    }
}

QString CLogicDocuments::DocumentPath(const QString &name) const
{
    const QString folder = m_context.Folders().GetPdfFolder();
    if (folder.isEmpty() || !IsDocumentName(name))
        return {};
    const QString path = QDir(folder).filePath(name);
    // The name was checked; the path must still lie directly in the folder.
    if (QDir::cleanPath(QFileInfo(path).absolutePath())
        != QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
        return {};
    return path;
}

int CLogicDocuments::Fill()
{
    // Without the Patient tab there is nothing to show.
    Korbel::IXListCtrl *list = List();
    if (!list)
        return 1;
    list->DeleteAllItems();
    if (list->GetColumnCount() == 0)
        return 0;
    for (const QString &name : DocumentNames(m_context.Folders().GetPdfFolder()))
        list->InsertItem(list->GetItemCount(), name);
    return 1;
}

int CLogicDocuments::AddFromDialog(QWidget *parent)
{
    const QString folder = m_context.Folders().GetPdfFolder();
    if (folder.isEmpty())
        return 0;
    QDir().mkpath(folder);
    const QString chosen
        = Desktop::FileDialogs().GetOpenFileName(parent, tr("Import a document"), folder, DialogFilter());
    return chosen.isEmpty() ? 0 : AddDocument(chosen, parent);
}

void CLogicDocuments::ShowAdded(const QString &name)
{
    Korbel::IXListCtrl *list = List();
    if (!list || list->GetColumnCount() == 0)
        return;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        if (list->GetItemText(row, 0) == name)
            return;
    }
    list->InsertItem(0, name);
}

int CLogicDocuments::AddDocument(const QString &path, QWidget *parent)
{
    const QFileInfo source(path);
    QString name = source.fileName();
    QString target = DocumentPath(name);
    if (target.isEmpty() || !source.isFile())
        return 0;
    QDir().mkpath(QFileInfo(target).absolutePath());
    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink()) {
        // The document itself, chosen from its own folder: nothing to copy.
        if (existing.isFile() && existing.canonicalFilePath() == source.canonicalFilePath()) {
            ShowAdded(name);
            return 1;
        }
        const QString freeName = FreeName(existing.absolutePath(), name);
        // A folder or a link of that name is never written through.
        const bool replaceable = existing.isFile() && !existing.isSymLink();
        const Desktop::Answer answer = replaceable
            ? Desktop::Prompts().Show(parent, ReplaceQuestion().arg(name, freeName),
                Desktop::Buttons::YesNoCancel, Desktop::Icon::Question)
            : Desktop::Answer::No;
        if (answer == Desktop::Answer::Cancel)
            return 0;
        if (answer == Desktop::Answer::No) {
            name = freeName;
            target = DocumentPath(name);
            if (target.isEmpty())
                return 0;
        }
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool copied = CopyInto(source.absoluteFilePath(), target);
    QGuiApplication::restoreOverrideCursor();
    if (!copied)
        return 0;
    ShowAdded(name);
    return 1;
}

bool CLogicDocuments::CopyInto(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray block;
    while (!in.atEnd()) {
        block = in.read(CopyBlockSize);
        if (in.error() != QFileDevice::NoError || out.write(block) != block.size()) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

int CLogicDocuments::Open()
{
    Korbel::IXListCtrl *list = List();
    const int row = list ? list->GetCurSel() : -1;
    if (row < 0)
        return 0;
    const QString path = DocumentPath(list->GetItemText(row, 0));
    if (path.isEmpty())
        return 0;
    if (!QFileInfo(path).isFile()) {
        // Gone from the folder since the list was filled.
        Fill();
        return 0;
    }
    return Desktop::Shell().Open(path, QStringLiteral("open")) ? 1 : 0;
}

int CLogicDocuments::Remove(QWidget *parent)
{
    Korbel::IXListCtrl *list = List();
    const int row = list ? list->GetCurSel() : -1;
    if (row < 0)
        return 0;
    const QString name = list->GetItemText(row, 0);
    const QString path = DocumentPath(name);
    if (path.isEmpty())
        return 0;
    if (Desktop::Prompts().Show(
            parent, RemoveQuestion().arg(name), Desktop::Buttons::YesNo, Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return 0;
    // A document already gone from the folder leaves the list too.
    if (!QFile::remove(path) && QFileInfo(path).exists())
        return 0;
    list->DeleteItem(row);
    return 1;
}
