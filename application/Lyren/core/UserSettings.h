#pragma once

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
