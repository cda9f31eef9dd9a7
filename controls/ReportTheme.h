#pragma once

#include <string>

class QWidget;

namespace tavora::controls {

// Gives a window a named visual theme where the platform has a theming library.
// Qt's style is in charge of every window here, so there is nothing to apply:
// returns 1, the result for "theming not available". Shared with the progress
// window's log.
int ApplyWindowTheme(QWidget* window, const std::string& themeClass, const std::string& appName);

} // namespace tavora::controls
