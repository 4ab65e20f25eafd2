#pragma once

#include <QtCore/QString>

class QWidget;

// The image manager library as the program uses it: the quality setting the
// configuration applies and edits, the images bin and the import of image
// files into a patient's folder. Each call takes a reference to the
// process-wide manager and gives it back.
namespace ImageManager {

bool SetQuality(int quality);
// Shows the manager's quality dialog; true and the chosen quality when the
// person confirmed it.
bool EditQuality(int *quality);

// Shows the images bin over the folder, starting from the current image; the
// image chosen last, empty when there is none.
QString ChooseImage(QWidget *parent, const QString &folder, const QString &current);
// Imports an image file into the folder at the image quality; the new file's
// path, empty when it cannot be imported.
QString ImportImage(const QString &folder, const QString &source);

} // namespace ImageManager
