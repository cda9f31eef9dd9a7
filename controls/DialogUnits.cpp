#include "controls/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

#include <cstdint>

namespace tavora::controls {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    if (c == 0)
        return 0;
    const int64_t product = int64_t{a} * b;
    const int64_t half = (c > 0 ? c : -c) / 2;
    const int64_t adjusted = (product >= 0) == (c > 0) ? product + half : product - half;
    return static_cast<int>(adjusted / c);
}

} // namespace

QFont DialogUnits::DialogFont() {
    return QApplication::font();
}

DialogUnits DialogUnits::ForDialogFont() {
    return DialogUnits(DialogFont());
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width over the 52 Latin letters, rounded, as dialog managers measure it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ < 1)
        baseX_ = 1;
    if (baseY_ < 1)
        baseY_ = 1;
}

int DialogUnits::ToPixelsX(int dialogUnits) const {
    return MulDiv(dialogUnits, baseX_, 4);
}

int DialogUnits::ToPixelsY(int dialogUnits) const {
    return MulDiv(dialogUnits, baseY_, 8);
}

QSize DialogUnits::ToPixels(int cx, int cy) const {
    return {ToPixelsX(cx), ToPixelsY(cy)};
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const {
    // Edges are converted, not sizes, so neighbouring controls stay flush.
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return {left, top, ToPixelsX(x + cx) - left, ToPixelsY(y + cy) - top};
}

} // namespace tavora::controls
