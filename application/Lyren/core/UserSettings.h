#pragma once

#include <QtCore/QString>

// The per-user display settings (section "UserSettings" of the user's
// profile), one typed accessor per setting; nothing else names their keys.
int GetShowWellness(); // "ShowWellness", 1 when never set: the wellness pane is shown
void SetShowWellness(int show);
int GetShowKeywords(); // "ShowKeywords", 0 when never set: the keywords bar is hidden
void SetShowKeywords(int show);

// The workspace layout: which panes of the first row and of the first column
// are shown, one bit per pane (bit 0 the top-left pane, which belongs to both
// lines). When never set: the top-left pane alone.
int GetWorkspaceRowPanes(); // "WorkspaceRowPanes", 1 when never set
void SetWorkspaceRowPanes(int panes);
int GetWorkspaceColumnPanes(); // "WorkspaceColumnPanes", 1 when never set
void SetWorkspaceColumnPanes(int panes);

// This computer's (this seat's) connection to the practice. The database
// address "postgresql://user@host[:port]/dbname"; empty for the database file
// in the root folder, the default. Never holds a password.
QString GetDatabaseAddress(); // "DatabaseAddress", empty when never set
void SetDatabaseAddress(const QString &address);
// The folder every seat of a practice on a server shares: the patient
// folders, UserData, the invoice templates and the weekly backups live there.
// Empty when never set: the root folder.
QString GetSharedFolder(); // "SharedFolder", empty when never set
void SetSharedFolder(const QString &folder);
