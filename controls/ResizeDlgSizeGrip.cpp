#include "controls/ResizeDlgSizeGrip.h"

#include <QEvent>
#include <QPolygon>
#include <QRegion>
#include <QStyle>

namespace tavora::controls {

CSizeGripExt::CSizeGripExt(QWidget* parent, bool visible, bool triangular) : QSizeGrip(parent) {
    ReadMetrics();
    resize(cx_, cy_);
    setFocusPolicy(Qt::NoFocus);
    SetTriangular(triangular);
    visible_ = visible;
    Reposition(parent);
}

void CSizeGripExt::ReadMetrics() {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    cx_ = cy_ = extent > 0 ? extent : 16;
}

void CSizeGripExt::Reposition(QWidget* parent) {
    if (!parent)
        return;
    move(parent->width() - cx_, parent->height() - cy_);
    lower();
    setVisible(visible_);
}

void CSizeGripExt::SetTriangular(bool on) {
    triangular_ = on;
    ApplyShape();
}

void CSizeGripExt::ApplyShape() {
    if (!triangular_) {
        clearMask();
        return;
    }
    const int w = width();
    const int h = height();
    setMask(QRegion(QPolygon({QPoint(0, h), QPoint(w, h), QPoint(w, 0)}), Qt::WindingFill));
}

void CSizeGripExt::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange) {
        // The scroll-bar size may have changed: keep the bottom-right corner in place.
        const QPoint corner = geometry().bottomRight() + QPoint(1, 1);
        ReadMetrics();
        setGeometry(corner.x() - cx_, corner.y() - cy_, cx_, cy_);
        ApplyShape();
    }
    QSizeGrip::changeEvent(event);
}

} // namespace tavora::controls
