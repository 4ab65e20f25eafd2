#pragma once

// Pieces the reference data dialogs share.

#include <QtCore/QString>

class QBoxLayout;
class QDialog;
class QDialogButtonBox;
class QWidget;

namespace Finance {

// Adds "OK" and "Cancel" (or one "Done" button when done is true) wired to
// the dialog's accept and reject.
QDialogButtonBox *AddDialogButtons(QDialog *dialog, QBoxLayout *layout, bool done = false);

} // namespace Finance
