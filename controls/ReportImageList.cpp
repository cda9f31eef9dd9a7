#include "controls/ReportImageList.h"

namespace tavora::controls {

int ReportImageList::Add(const QIcon& icon) {
    icons_.push_back(icon);
    return Count() - 1;
}

QIcon ReportImageList::Icon(int index) const {
    return Valid(index) ? icons_[static_cast<size_t>(index)] : QIcon();
}

} // namespace tavora::controls
