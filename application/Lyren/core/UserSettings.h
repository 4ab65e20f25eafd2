#pragma once

// The per-user display settings (section "UserSettings" of the user's profile).
int GetShowWellness(); // "ShowWellness", 1 when never set: the wellness pane is shown
void SetShowWellness(int show);
int GetShowKeywords(); // "ShowKeywords", 0 when never set: the keywords bar is hidden
void SetShowKeywords(int show);
