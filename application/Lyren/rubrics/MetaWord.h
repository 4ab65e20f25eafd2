#pragma once

#include <QtCore/QDateTime>
#include <QtCore/QString>

// One possible-rubrics line: keywords picked from one consultation, joined by
// one blank.
struct MetaWord
{
    QString Content;
    // The consultation the keywords came from (the notes' separator record);
    // 0 when none was found.
    qint64 ContentSourceID = 0;
    // The consultation's date; a line made without one gets the moment it was
    // made. Invalid when a stored stamp could not be read.
    QDateTime SourceTimeStamp;
    // Every line made here has 0; lines of other kinds are shown and kept but
    // never sent to the repertory program.
    int Type = 0;
};
