#include "controls/ResizeDlgAnchor.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tavora::controls {
namespace {

// Truncation towards zero, held inside the int range (a NaN becomes 0).
int Trunc(double v) {
    if (std::isnan(v))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (v <= lo)
        return std::numeric_limits<int>::min();
    if (v >= hi)
        return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

// v * now / first in exact integer arithmetic, truncated; v when first is 0.
int Scale(int v, int now, int first) {
    if (first == 0)
        return v;
    return static_cast<int>(int64_t{v} * now / first);
}

bool ScalesOrShares(unsigned a, unsigned b) {
    return a == RS_SCALE || a == RS_SHARE || b == RS_SCALE || b == RS_SHARE;
}

struct Axis {
    int& lo;
    int& hi;
    const int& currentLo;
    const int& currentHi;
    unsigned nearMode, farMode;
    int delta, grow, extent, firstExtent;
    double share, growShare;
};

// One axis of the layout; returns its keep flag.
bool LayoutAxis(const Axis& a) {
    switch (a.farMode) {
    case RS_KEEP:
        if (ScalesOrShares(a.nearMode, a.farMode)) {
            a.lo = a.currentLo;
            a.hi = a.currentHi;
            return false;
        }
        return true;
    case RS_STRETCH:
        a.hi += a.delta;
        return true;
    case RS_MOVE:
        a.lo += a.delta;
        a.hi += a.delta;
        return true;
    case RS_CENTER: {
        const int w = a.hi - a.lo;
        a.lo = Trunc(a.extent * a.share - w * 0.5);
        a.hi = a.lo + w;
        return true;
    }
    case RS_SCALE:
        a.lo = Scale(a.lo, a.extent, a.firstExtent);
        a.hi = Scale(a.hi, a.extent, a.firstExtent);
        return false;
    case RS_SHARE: {
        const int w = a.hi - a.lo;
        a.hi = Trunc(a.lo + w + a.share * a.grow + a.growShare * a.grow);
        a.lo = a.lo + Trunc(a.share * a.grow);
        return false;
    }
    default:
        return true;
    }
}

} // namespace

double CentreShare(int a, int b, int extent) {
    if (extent == 0)
        return 0.5;
    return (a + b) * 0.5 / extent;
}

AnchorPlacement LayoutAnchor(const AnchorInfo& anchor, const AnchorRect& current,
                             const AnchorFrame& frame) {
    AnchorPlacement out;
    AnchorRect r = anchor.rect;
    out.keepX = LayoutAxis({r.left, r.right, current.left, current.right, anchor.leftMode,
                            anchor.rightMode, frame.dx, frame.growX, frame.width, frame.firstWidth,
                            anchor.xShare, anchor.xGrow});
    out.keepY = LayoutAxis({r.top, r.bottom, current.top, current.bottom, anchor.topMode,
                            anchor.bottomMode, frame.dy, frame.growY, frame.height,
                            frame.firstHeight, anchor.yShare, anchor.yGrow});

    AnchorRect compare = current;
    if (out.keepX) {
        compare.left = anchor.rect.left;
        compare.right = anchor.rect.right;
    }
    if (out.keepY) {
        compare.top = anchor.rect.top;
        compare.bottom = anchor.rect.bottom;
    }
    out.target = r;
    out.oldArea = compare;
    out.move = !(compare == r);
    return out;
}

void CommitAnchor(AnchorInfo& anchor, const AnchorPlacement& placement) {
    if (!placement.move)
        return;
    if (placement.keepX) {
        anchor.rect.left = placement.target.left;
        anchor.rect.right = placement.target.right;
    }
    if (placement.keepY) {
        anchor.rect.top = placement.target.top;
        anchor.rect.bottom = placement.target.bottom;
    }
}

} // namespace tavora::controls
