#pragma once

// The image manager library's quality setting, as the configuration applies
// and edits it. Each call takes a reference to the process-wide manager and
// gives it back.
namespace ImageManager {

bool SetQuality(int quality);
// Shows the manager's quality dialog; true and the chosen quality when the
// person confirmed it.
bool EditQuality(int *quality);

} // namespace ImageManager
