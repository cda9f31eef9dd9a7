#pragma once

#include <QIcon>
#include <QSize>

#include <vector>

namespace tavora::controls {

// A numbered set of small images for cells and header items. The owner creates
// it and hands it to the list, which keeps it alive while it uses it.
class ReportImageList {
public:
    explicit ReportImageList(QSize iconSize = QSize(16, 16)) : iconSize_(iconSize) {}

    // Appends an image; returns its index.
    int Add(const QIcon& icon);
    int Count() const { return static_cast<int>(icons_.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    // The image, or a null icon for an index outside the list.
    QIcon Icon(int index) const;
    QSize IconSize() const { return iconSize_; }

private:
    QSize iconSize_;
    std::vector<QIcon> icons_;
};

} // namespace tavora::controls
