#include "controls/ReportTheme.h"

namespace tavora::controls {

int ApplyWindowTheme(QWidget*, const std::string&, const std::string&) {
    return 1;
}

} // namespace tavora::controls
