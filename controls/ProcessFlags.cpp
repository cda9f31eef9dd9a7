#include "controls/ProcessFlags.h"

namespace tavora::controls {

std::atomic<int> g_modernOsFlag{0};
std::atomic<int> g_sortingFlag{0};

} // namespace tavora::controls
