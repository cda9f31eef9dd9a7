#pragma once

#include "controls/WndPlacementRecord.h"

#include <string>

class QWidget;

namespace tavora::controls {

// The profile section that holds every window's placement.
inline constexpr const char* kPositionSection = "Position";

// Saves a top-level window's placement in the profile when it closes and restores
// it when the window comes back. Each window keeps one store under an entry name of
// its own; the section's default value holds a show-state override shared by all.
class CWndPlacement {
public:
    // Restores the saved placement of window and shows it that way. False, with
    // nothing applied, when no usable placement is stored; on the first load the
    // store then holds the window's own placement centred on the screen, for
    // ApplyPlacement.
    bool LoadPlacement(QWidget* window, const std::string& entry, const std::string& section);
    // Stores the window's current placement and the show-state override.
    bool SavePlacement(QWidget* window, const std::string& entry, const std::string& section);
    // Applies the placement prepared by the last load (or save) to window.
    void ApplyPlacement(QWidget* window) const;

    int ShowOverride() const { return showOverride_; }
    const WindowPlacement& Placement() const { return placement_; }
    const WindowPlacement& DefaultPlacement() const { return defaultPlacement_; }
    bool IsFirstLoad() const { return firstLoad_; }

    // The window's placement as it stands; false for no window or a child widget.
    static bool ReadWindowPlacement(const QWidget* window, WindowPlacement& placement);
    // Gives window the placement's normal rectangle and show state and shows it.
    // A rectangle that lies entirely off every screen is brought onto the nearest
    // one, so the window is never out of reach. False for a record that is not a
    // placement (wrong length field, empty rectangle).
    static bool WriteWindowPlacement(QWidget* window, const WindowPlacement& placement);

private:
    void ReadShowOverride(const std::string& section);

    int showOverride_ = 0;
    WindowPlacement placement_;
    WindowPlacement defaultPlacement_;
    bool firstLoad_ = true;
    bool overrideRead_ = false;
};

} // namespace tavora::controls
