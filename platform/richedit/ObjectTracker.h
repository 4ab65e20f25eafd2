#pragma once

#include "richedit/EmbeddedObjects.h"
#include "richedit_export.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>

#include <vector>

class QTextDocument;

namespace RichEdit {

// Keeps the list of embedded objects of a document in text order as the
// document changes, by whatever path (editing, undo and redo, clearing), and
// says which objects left the text and which came into it.
class RICHEDIT_EXPORT ObjectTracker : public QObject
{
    Q_OBJECT

public:
    explicit ObjectTracker(QObject *parent = nullptr);

    // Follows document from now on. The objects of the previous document
    // are reported as departed, those of the new one as arrived.
    void attach(QTextDocument *document);
    QTextDocument *document() const { return m_document; }

    const std::vector<EmbeddedObject> &objects() const { return m_objects; }
    // The objects in [from, to), in text order.
    std::vector<EmbeddedObject> objectsIn(int from, int to) const;
    int countIn(int from, int to) const;

    // The next arrival of handle is the insertion being made, not a return.
    void expectInsertion(qint64 handle)
    {
        m_expectedHandle = handle;
        m_expecting = true;
    }
    void cancelExpectedInsertion() { m_expecting = false; }

signals:
    void departed(const RichEdit::EmbeddedObject &object);
    void arrived(const RichEdit::EmbeddedObject &object, bool inserted);

private:
    void onContentsChange(int from, int removed, int added);
    void report(const std::vector<EmbeddedObject> &gone, const std::vector<EmbeddedObject> &came);

    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_connection;
    std::vector<EmbeddedObject> m_objects;
    qint64 m_expectedHandle = 0;
    bool m_expecting = false;
};

} // namespace RichEdit
