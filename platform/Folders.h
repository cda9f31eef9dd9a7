#pragma once

#include <string>

namespace tavora::platform {

// Per-user application data: $XDG_CONFIG_HOME, else ~/.config. No trailing "/".
std::string AppDataFolder();
// The user's music and desktop folders; empty when the system knows none.
std::string MusicFolder();
std::string DesktopFolder();
// The home folder, no trailing "/".
std::string HomeFolder();

} // namespace tavora::platform
