#pragma once

// Pieces the reference data dialogs share.

#include <QtCore/QString>

class QBoxLayout;
class QDialog;
class QDialogButtonBox;
class QWidget;
struct LogicCommand;

namespace Finance {

// Adds "OK" and "Cancel" (or one "Done" button when done is true) wired to
// the dialog's accept and reject.
QDialogButtonBox *AddDialogButtons(QDialog *dialog, QBoxLayout *layout, bool done = false);

// The window a command's dialog belongs to: the sending control's window.
QWidget *DialogParent(const LogicCommand &command);

} // namespace Finance
