#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavora::controls {

// Show states and flags of a stored placement, with the values of the classic
// WINDOWPLACEMENT record so that stored profiles stay readable.
inline constexpr uint32_t SW_SHOWNORMAL = 1;
inline constexpr uint32_t SW_SHOWMINIMIZED = 2;
inline constexpr uint32_t SW_SHOWMAXIMIZED = 3;
inline constexpr uint32_t WPF_RESTORETOMAXIMIZED = 2;

// A window placement as stored in the profile: the WINDOWPLACEMENT layout, eleven
// 32-bit little-endian fields, 44 bytes. The normal rectangle is the window's
// client area in screen coordinates (right and bottom exclusive).
struct WindowPlacement {
    static constexpr size_t kSize = 44;

    uint32_t length = 0;
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    int32_t minX = 0, minY = 0;
    int32_t maxX = 0, maxY = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    bool operator==(const WindowPlacement&) const = default;

    std::vector<uint8_t> Serialize() const;
    // Nothing unless data is exactly kSize bytes long: a shorter value would leave
    // fields undefined, a longer one is not a placement this program wrote.
    static std::optional<WindowPlacement> Parse(const std::vector<uint8_t>& data);
};

// The show state a loaded placement opens with under the profile's show-state
// override: 1 keeps the saved state, 2 normal, 3 maximised, 4 minimised; any
// other value restores a minimised window to the state it had before minimising.
uint32_t ApplyShowOverride(int showOverride, uint32_t showCmd, uint32_t flags);

} // namespace tavora::controls
