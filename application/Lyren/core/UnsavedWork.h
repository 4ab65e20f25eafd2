#pragma once

#include <QtCore/QByteArray>

// The current patient's notes as they stand in the editor, saved or not:
// what a save that another seat's save made impossible keeps in its conflict
// copy, so that nothing typed is lost.
class INotesDraft
{
public:
    // The notes as rich text; empty when there are none.
    virtual QByteArray NotesDraft() const = 0;

protected:
    ~INotesDraft() = default;
};
