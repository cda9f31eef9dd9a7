#include "controls/WndPlacementRecord.h"

namespace tavora::controls {
namespace {

void Put(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Get(const std::vector<uint8_t>& in, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | in[offset + static_cast<size_t>(i)];
    return v;
}

} // namespace

std::vector<uint8_t> WindowPlacement::Serialize() const {
    std::vector<uint8_t> out;
    out.reserve(kSize);
    for (uint32_t v : {length, flags, showCmd})
        Put(out, v);
    for (int32_t v : {minX, minY, maxX, maxY, left, top, right, bottom})
        Put(out, static_cast<uint32_t>(v));
    return out;
}

std::optional<WindowPlacement> WindowPlacement::Parse(const std::vector<uint8_t>& data) {
    if (data.size() != kSize)
        return std::nullopt;
    WindowPlacement p;
    p.length = Get(data, 0);
    p.flags = Get(data, 4);
    p.showCmd = Get(data, 8);
    int32_t* signedFields[] = {&p.minX, &p.minY, &p.maxX,  &p.maxY,
                               &p.left, &p.top,  &p.right, &p.bottom};
    size_t offset = 12;
    for (int32_t* field : signedFields) {
        *field = static_cast<int32_t>(Get(data, offset));
        offset += 4;
    }
    return p;
}

uint32_t ApplyShowOverride(int showOverride, uint32_t showCmd, uint32_t flags) {
    switch (showOverride) {
    case 1:
        return showCmd;
    case 2:
        return SW_SHOWNORMAL;
    case 3:
        return SW_SHOWMAXIMIZED;
    case 4:
        return SW_SHOWMINIMIZED;
    default:
        // Only the restore-to-maximised bit decides: other placement flags must
        // not turn into an unrelated show state.
        if (showCmd == SW_SHOWMINIMIZED)
            return (flags & WPF_RESTORETOMAXIMIZED) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        return showCmd;
    }
}

} // namespace tavora::controls
