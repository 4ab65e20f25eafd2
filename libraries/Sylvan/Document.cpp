#include "Sylvan/Document.h"
#include "Sylvan/ElementArena.h"
#include "Sylvan/ElementTree.h"
#include "Sylvan/XmlPlatform.h"
#include "Sylvan/XmlReader.h"
#include "Sylvan/XmlWriter.h"

#include <QtCore/QFile>
#include <QtCore/QSaveFile>

namespace Sylvan::Detail {

namespace {

// The side files hold a few kilobytes; anything near this size is not one of
// them, and reading it whole could take the program's memory.
constexpr qint64 MaximumFileSize = qint64(64) * 1024 * 1024;

} // namespace

class DocumentImpl final : public IDocument
{
public:
    DocumentImpl() { resetRoot(ElementImpl::create(QString()), nullptr); }
    ~DocumentImpl() override = default;
    DocumentImpl(const DocumentImpl &) = delete;
    DocumentImpl &operator=(const DocumentImpl &) = delete;

    bool Initialize() override
    {
        resetRoot(ElementImpl::create(QString()), nullptr);
        if (!IsPlatformInitialized())
            return fail(QStringLiteral("the XML platform is not initialised"));
        return true;
    }

    void Release() override { delete this; }

    IElement *GetRootElement() override { return m_root.get(); }

    bool Save(const QString &path) override
    {
        if (!IsPlatformInitialized())
            return fail(QStringLiteral("the XML platform is not initialised"));
        QByteArray text;
        // A document is mostly saved again at about the size it had.
        text.reserve(m_lastSavedSize + m_lastSavedSize / 8 + 1024);
        QString error;
        if (!WriteXml(*m_root, text, &error))
            return fail(error);
        m_lastSavedSize = text.size();

        // Written beside the target and renamed over it, so that a failure
        // half-way (full disk, crash) leaves the previous file whole.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        if (file.write(text) != text.size() || !file.commit())
            return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return true;
    }

    bool Load(const QString &path) override
    {
        if (!IsPlatformInitialized())
            return fail(QStringLiteral("the XML platform is not initialised"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
        if (file.size() > MaximumFileSize)
            return fail(QStringLiteral("%1 is too large for an XML side file").arg(path));
        const QByteArray content = file.read(MaximumFileSize + 1);
        if (content.isEmpty())
            return fail(QStringLiteral("%1 is empty").arg(path));
        if (content.size() > MaximumFileSize)
            return fail(QStringLiteral("%1 is too large for an XML side file").arg(path));

        QString error;
        auto arena = std::make_unique<ElementArena>();
        ElementOwner root = ReadXml(content, *arena, &error);
        if (!root)
            return fail(QStringLiteral("%1: %2").arg(path, error));
        resetRoot(std::move(root), std::move(arena));
        return true;
    }

    QString GetErrorDescription() const override { return m_error; }

private:
    bool fail(const QString &error)
    {
        m_error = error;
        return false;
    }

    // The old tree goes before the arena its elements may live in.
    void resetRoot(ElementOwner root, std::unique_ptr<ElementArena> arena)
    {
        root->setOwnedByDocument(true);
        m_root = std::move(root);
        m_arena = std::move(arena);
    }

    std::unique_ptr<ElementArena> m_arena; // declared first: freed after the tree
    ElementOwner m_root;
    QString m_error;
    qsizetype m_lastSavedSize = 0;
};

} // namespace Sylvan::Detail

Sylvan::IDocument *DocumentFactory()
{
    return new Sylvan::Detail::DocumentImpl();
}
