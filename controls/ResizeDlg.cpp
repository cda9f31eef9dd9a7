#include "controls/ResizeDlg.h"

#include "platform/MessageBox.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>

#include <utility>

namespace tavora::controls {
namespace {
constexpr int kMaxSize = QWIDGETSIZE_MAX;

QRect ToQRect(const AnchorRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}
} // namespace

CResizeDlg::CResizeDlg(const DialogTemplate& dialogTemplate, QWidget* parent)
    : CTemplateDlg(dialogTemplate, parent) {
    // The background is erased by paintEvent, which can leave RS_NOERASE controls out.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CResizeDlg::~CResizeDlg() {
    // Derived parts are gone, but the window and its geometry still exist here.
    if (!destroyed_) {
        destroyed_ = true;
        CResizeDlg::OnDestroy();
    }
}

void CResizeDlg::DestroyWindow() {
    if (destroyed_)
        return;
    destroyed_ = true;
    OnDestroy();
}

void CResizeDlg::OnDestroy() {
    if (placementKey_.empty())
        return;
    if (!placement_.SavePlacement(this, placementKey_, kPositionSection))
        platform::ShowMessage(nullptr, "Fail to Save!", platform::MsgButtons::Ok);
}

bool CResizeDlg::OnInitDialog() {
    const bool result = CTemplateDlg::OnInitDialog();
    firstClient_ = previousClient_ = ClientRectOnScreen();
    if (!grip_)
        grip_ = new CSizeGripExt(this, true, true);
    return result;
}

QRect CResizeDlg::ClientRectOnScreen() const {
    return QRect(mapToGlobal(QPoint(0, 0)), size());
}

AnchorRect CResizeDlg::ControlRect(const QWidget* control) const {
    QRect g = control->geometry();
    const QWidget* parent = control->parentWidget();
    if (parent && parent != this)
        g.moveTopLeft(parent->mapTo(this, g.topLeft()));
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void CResizeDlg::AddAnchor(int id, int leftMode, int rightMode, int topMode, int bottomMode,
                           int options, double xShare, double xGrow, double yShare, double yGrow) {
    QWidget* control = Item(id);
    Q_ASSERT_X(control, "CResizeDlg::AddAnchor", "anchoring a control that does not exist");
    if (!control)
        return;

    AnchorInfo info;
    info.id = id;
    info.leftMode = static_cast<uint8_t>(leftMode & 0xF);
    info.rightMode = static_cast<uint8_t>(rightMode & 0xF);
    info.topMode = static_cast<uint8_t>(topMode & 0xF);
    info.bottomMode = static_cast<uint8_t>(bottomMode & 0xF);
    info.noErase = options & RS_NOERASE;
    info.repaint = options & RS_REPAINT;
    info.rect = ControlRect(control);
    info.xShare = xShare;
    info.xGrow = xGrow;
    info.yShare = yShare;
    info.yGrow = yGrow;
    const auto centresOrScales = [](unsigned m) { return m == RS_CENTER || m == RS_SCALE; };
    if (centresOrScales(info.leftMode) || centresOrScales(info.rightMode))
        info.xShare = CentreShare(info.rect.left, info.rect.right, width());
    if (centresOrScales(info.topMode) || centresOrScales(info.bottomMode))
        info.yShare = CentreShare(info.rect.top, info.rect.bottom, height());
    // Left out of the dialog's erase, the control has to paint its own background.
    if (info.noErase)
        control->setAutoFillBackground(true);

    for (auto& existing : anchors_) {
        if (existing.id == id) {
            existing = info;
            return;
        }
    }
    anchors_.push_back(info);
}

void CResizeDlg::HideSizeGrip() {
    if (!grip_)
        return;
    grip_->SetVisible(false);
    grip_->Reposition(this);
}

void CResizeDlg::SetMinTrackSize(int width, int height) {
    minTrackWidth_ = width > 0 ? width : 0;
    minTrackHeight_ = height > 0 ? height : 0;
    ApplyMinMax();
}

void CResizeDlg::SetResizable(bool width, bool height) {
    widthResizable_ = width;
    heightResizable_ = height;
    ApplyMinMax();
}

void CResizeDlg::ApplyMinMax() {
    setMinimumSize(minTrackWidth_, minTrackHeight_);
    setMaximumSize(widthResizable_ ? kMaxSize : minTrackWidth_,
                   heightResizable_ ? kMaxSize : minTrackHeight_);
}

void CResizeDlg::resizeEvent(QResizeEvent* event) {
    CTemplateDlg::resizeEvent(event);
    OnSize();
}

void CResizeDlg::changeEvent(QEvent* event) {
    CTemplateDlg::changeEvent(event);
    // Maximising to a size the window already has brings no resize: the grip still
    // has to follow the state.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        UpdateGrip();
}

void CResizeDlg::OnSize() {
    if (!anchors_.empty()) {
        const QRect now = ClientRectOnScreen();
        // No layout while minimised: restoring then finds every control in place.
        if (isMinimized())
            return;

        const AnchorFrame frame{now.width() - previousClient_.width(),
                                now.height() - previousClient_.height(),
                                now.width() - firstClient_.width(),
                                now.height() - firstClient_.height(),
                                now.width(),
                                now.height(),
                                firstClient_.width(),
                                firstClient_.height()};

        struct Move {
            QWidget* control;
            AnchorRect target;
        };
        std::vector<Move> moves;
        moves.reserve(anchors_.size());
        for (auto& anchor : anchors_) {
            QWidget* control = Item(anchor.id);
            if (!control)
                continue;
            const AnchorPlacement placement = LayoutAnchor(anchor, ControlRect(control), frame);
            if (!placement.move)
                continue;
            if (anchor.repaint) {
                control->update();
                update(ToQRect(placement.oldArea));
            }
            moves.push_back({control, placement.target});
            CommitAnchor(anchor, placement);
        }

        // One repaint for the whole pass, like a deferred window positioning.
        if (!moves.empty()) {
            const bool updates = updatesEnabled();
            setUpdatesEnabled(false);
            for (const auto& m : moves) {
                QRect target = ToQRect(m.target);
                QWidget* parent = m.control->parentWidget();
                if (parent && parent != this)
                    target.moveTopLeft(parent->mapFrom(this, target.topLeft()));
                m.control->setGeometry(target);
            }
            setUpdatesEnabled(updates);
        }
        lastLayoutMoves_ = static_cast<int>(moves.size());
        previousClient_ = now;
    }
    UpdateGrip();
}

void CResizeDlg::UpdateGrip() {
    if (!grip_)
        return;
    grip_->SetVisible(!isMaximized());
    grip_->Reposition(this);
}

QRegion CResizeDlg::EraseRegion() const {
    QRegion region(rect());
    for (const auto& anchor : anchors_) {
        if (!anchor.noErase)
            continue;
        // Where the control is now: on a scaled or shared axis the record keeps the
        // registered rectangle, and leaving that out would leave stale pixels behind.
        const QWidget* control = Item(anchor.id);
        if (control && control->isVisible())
            region -= ToQRect(ControlRect(control));
    }
    return region;
}

void CResizeDlg::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(EraseRegion() & event->region());
    painter.fillRect(rect(), palette().brush(backgroundRole()));
}

} // namespace tavora::controls
