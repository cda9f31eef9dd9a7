#include "controls/WndPlacement.h"

#include "platform/Profile.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace tavora::controls {
namespace {

QRect NormalRect(const WindowPlacement& p) {
    return QRect(QPoint(p.left, p.top), QSize(p.right - p.left, p.bottom - p.top));
}

// The screen area nearest to rect, measured between centres.
QRect NearestScreenArea(const QRect& rect) {
    QRect best;
    long long bestDistance = -1;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const QPoint d = area.center() - rect.center();
        const long long distance = 1LL * d.x() * d.x() + 1LL * d.y() * d.y();
        if (bestDistance < 0 || distance < bestDistance) {
            best = area;
            bestDistance = distance;
        }
    }
    return best;
}

QRect OnSomeScreen(QRect rect) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect))
            return rect;
    const QRect area = NearestScreenArea(rect);
    if (area.isEmpty())
        return rect;
    rect.setSize(rect.size().boundedTo(area.size()));
    const int x = std::clamp(rect.left(), area.left(), area.right() + 1 - rect.width());
    const int y = std::clamp(rect.top(), area.top(), area.bottom() + 1 - rect.height());
    rect.moveTopLeft(QPoint(x, y));
    return rect;
}

} // namespace

bool CWndPlacement::ReadWindowPlacement(const QWidget* window, WindowPlacement& placement) {
    if (!window || !window->isWindow())
        return false;
    const Qt::WindowStates state = window->windowState();
    // normalGeometry() is the restored rectangle while maximised (even when then
    // minimised); otherwise the geometry is the normal rectangle.
    const QRect normal =
        (state & Qt::WindowMaximized) ? window->normalGeometry() : window->geometry();
    placement = WindowPlacement{};
    placement.length = WindowPlacement::kSize;
    if (state & Qt::WindowMinimized) {
        placement.showCmd = SW_SHOWMINIMIZED;
        if (state & Qt::WindowMaximized)
            placement.flags = WPF_RESTORETOMAXIMIZED;
    } else if (state & Qt::WindowMaximized) {
        placement.showCmd = SW_SHOWMAXIMIZED;
    } else {
        placement.showCmd = SW_SHOWNORMAL;
    }
    // Minimised and maximised positions are not ours to choose on this platform.
    placement.minX = placement.minY = placement.maxX = placement.maxY = -1;
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    return true;
}

bool CWndPlacement::WriteWindowPlacement(QWidget* window, const WindowPlacement& placement) {
    if (!window || !window->isWindow() || placement.length != WindowPlacement::kSize)
        return false;
    const QRect normal = NormalRect(placement);
    if (normal.width() <= 0 || normal.height() <= 0)
        return false;

    const Qt::WindowStates keep =
        window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    // The rectangle must land as the normal geometry, so leave any maximised or
    // minimised state first.
    if (window->windowState() != keep)
        window->setWindowState(keep);
    window->setGeometry(OnSomeScreen(normal));

    Qt::WindowStates state = keep;
    if (placement.showCmd == SW_SHOWMAXIMIZED) {
        state |= Qt::WindowMaximized;
    } else if (placement.showCmd == SW_SHOWMINIMIZED) {
        state |= Qt::WindowMinimized;
        if (placement.flags & WPF_RESTORETOMAXIMIZED)
            state |= Qt::WindowMaximized;
    }
    // Any other show state (hidden included) shows the window normally: a stored
    // value must never leave a window that cannot be reached.
    if (state != keep)
        window->setWindowState(state);
    window->setVisible(true);
    return true;
}

void CWndPlacement::ReadShowOverride(const std::string& section) {
    showOverride_ = platform::ProfileGetInt(section, "", 0);
    overrideRead_ = true;
}

bool CWndPlacement::LoadPlacement(QWidget* window, const std::string& entry,
                                  const std::string& section) {
    if (firstLoad_) {
        firstLoad_ = false;
        if (!ReadWindowPlacement(window, defaultPlacement_))
            return false;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect desk = screen->geometry();
            const int w = defaultPlacement_.right - defaultPlacement_.left;
            const int h = defaultPlacement_.bottom - defaultPlacement_.top;
            defaultPlacement_.left = desk.left() + (desk.width() - w) / 2;
            defaultPlacement_.right = desk.left() + (desk.width() + w) / 2;
            defaultPlacement_.top = desk.top() + (desk.height() - h) / 2;
            defaultPlacement_.bottom = desk.top() + (desk.height() + h) / 2;
        }
        ReadShowOverride(section);
    }

    std::vector<uint8_t> data;
    std::optional<WindowPlacement> stored;
    if (platform::ProfileGetBinary(section, entry, data))
        stored = WindowPlacement::Parse(data);
    if (!stored || stored->length != WindowPlacement::kSize) {
        // Nothing stored, or nothing this program could have written.
        placement_ = defaultPlacement_;
        return false;
    }
    placement_ = *stored;
    placement_.showCmd = ApplyShowOverride(showOverride_, placement_.showCmd, placement_.flags);
    if (!WriteWindowPlacement(window, placement_)) {
        placement_ = defaultPlacement_;
        return false;
    }
    return true;
}

bool CWndPlacement::SavePlacement(QWidget* window, const std::string& entry,
                                  const std::string& section) {
    WindowPlacement current;
    if (!ReadWindowPlacement(window, current))
        return false;
    placement_ = current;
    // A store that never loaded must not overwrite the user's override with 0.
    if (!overrideRead_)
        ReadShowOverride(section);
    if (!platform::ProfileWriteBinary(section, entry, placement_.Serialize()))
        return false;
    return platform::ProfileWriteInt(section, "", showOverride_);
}

void CWndPlacement::ApplyPlacement(QWidget* window) const {
    WriteWindowPlacement(window, placement_);
}

} // namespace tavora::controls
