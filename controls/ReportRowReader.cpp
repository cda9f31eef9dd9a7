#include "controls/ReportRowReader.h"

#include <cstdint>
#include <cstring>

namespace tavora::controls {

bool LeadingFlagRowReader::IsUnusable(const void* data) const {
    int32_t flag = 0;
    std::memcpy(&flag, data, sizeof flag);
    return flag != 0;
}

} // namespace tavora::controls
