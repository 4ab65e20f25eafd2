#pragma once

#include "lumisk_export.h"

#include <QtCore/QString>

class QWidget;

// The image manager: the images of the current patient's images folder, image
// import with re-encoding at the process-wide quality, the images bin, the
// preview window and the quality dialog.
//
// There is one instance per process, returned by ILumiskFactory(). Callers take
// a reference (AddRef) before use and give it back (Release) after; the instance
// deletes itself when the count reaches 0. The virtual operations keep their
// order, which is part of the library's binary interface.
class LUMISK_EXPORT ILumisk
{
public:
    ILumisk() = default;
    ILumisk(const ILumisk &) = default;
    ILumisk &operator=(const ILumisk &) = default;

    // Reference counting; both return the new count.
    virtual long AddRef() = 0;
    virtual long Release() = 0;

    // Stores the folder (a trailing separator is added when missing) and lists
    // the images found in it.
    virtual bool SetImagesFolder(const QString &folder) = 0;
    virtual bool SetCurrentFile(const QString &path) = 0;
    // Makes the image at index the current file; false outside the list.
    virtual bool SelectImage(int index) = 0;
    virtual QString GetCurrentFile() = 0;
    // Shows the images bin modally; the image selected there becomes the current file.
    virtual void ShowImagesBin(QWidget *parent) = 0;
    virtual int GetImageCount() = 0;
    // The full path of the image at index, or an empty text outside the list.
    virtual QString GetImage(int index) = 0;
    // Re-encodes the source into the images folder at the image quality and adds
    // it to the list. newPath (may be null) receives the new file's path.
    virtual bool ImportImage(const QString &sourcePath, QString *newPath) = 0;
    // Shows the file in the "Preview Image" window modally; false for an empty path.
    virtual bool ShowImage(const QString &path) = 0;
    virtual bool GetQuality(int *value) = 0;
    // Quality is 0..100; values outside are refused and the old one kept.
    virtual bool SetQuality(int value) = 0;
    // Shows the "Image Quality" dialog; true when the person confirmed it with OK.
    virtual bool ShowQualityDialog() = 0;

protected:
    // The instance deletes itself on its last Release.
    virtual ~ILumisk();
};

// Returns the process-wide instance, creating it (with one reference) at the
// first call. Later calls return the same object without taking a reference.
LUMISK_EXPORT ILumisk *ILumiskFactory();
