#pragma once

#include "patients/CLogicPatient.h"

#include "core/LogicCommand.h"

#include <QtCore/QString>

#include <functional>

class IPatientImages;
class QWidget;

// The patient record's dialogs as its logic objects show them. The window
// layer provides them through the context's services; tests provide their own.

// The find dialog over a query: 1 and the chosen patient when the person chose
// one, 0 when the dialog was cancelled or closed without a choice.
class IPatientFinder
{
public:
    using Search = std::function<FoundPatients(const QString &firstName, const QString &lastName)>;
    virtual ~IPatientFinder() = default;
    virtual int Choose(QWidget *parent, const Search &search, FoundPatient *chosen) = 0;
};

// What the chief complaint dialog edits.
struct ComplaintValues
{
    QString description;
    QString imagePath;
};

// The chief complaint dialog: 1 when the person confirmed it (the values are
// then what was entered), 0 otherwise. The images folder, the root folder and
// the images and command sink its buttons use come with it.
class IComplaintEditor
{
public:
    struct Setting
    {
        QString imagesFolder;
        QString rootFolder;
        IPatientImages *images = nullptr;
        CommandSink commands; // the phrase picker and other buttons send their commands here
    };
    virtual ~IComplaintEditor() = default;
    virtual int Edit(QWidget *parent, const Setting &setting, ComplaintValues *values) = 0;
};
