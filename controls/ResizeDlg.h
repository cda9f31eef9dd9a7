#pragma once

#include "controls/DialogTemplateDlg.h"
#include "controls/ResizeDlgAnchor.h"
#include "controls/ResizeDlgSizeGrip.h"
#include "controls/WndPlacement.h"

#include <QRect>
#include <QRegion>

#include <string>
#include <vector>

namespace tavora::controls {

// Base of the resizable windows: registered child controls follow the window's size
// changes by a mode per axis, all moves of one size change applied together; a
// corner size grip hidden while maximised; a minimum tracking size; and the window
// placement saved under a key when the dialog goes.
//
// Derived dialogs call CResizeDlg::OnInitDialog first, then AddAnchor. A derived
// paintEvent or resizeEvent calls the base's. A derived dialog that needs its own
// destroy handling calls DestroyWindow() from its destructor, so the base's save
// runs while the whole dialog still exists.
class CResizeDlg : public CTemplateDlg {
    Q_OBJECT

public:
    explicit CResizeDlg(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~CResizeDlg() override;

    // Registers or replaces the anchoring of control id. RS_CENTER and RS_SCALE
    // compute their own share from the control's centre. The control must exist.
    void AddAnchor(int id, int leftMode, int rightMode, int topMode, int bottomMode,
                   int options = 0, double xShare = -1.0, double xGrow = -1.0, double yShare = -1.0,
                   double yGrow = -1.0);
    const std::vector<AnchorInfo>& Anchors() const { return anchors_; }

    void HideSizeGrip();
    CSizeGripExt* SizeGrip() const { return grip_; }

    void SetPlacementKey(std::string key) { placementKey_ = std::move(key); }
    const std::string& PlacementKey() const { return placementKey_; }
    CWndPlacement& PlacementStore() { return placement_; }

    // Client sizes: the window never becomes smaller than the minimum; a
    // dimension that is not resizable stays at its minimum.
    void SetMinTrackSize(int width, int height);
    void SetResizable(bool width, bool height);

    // Controls moved by the last layout pass (skipped controls do not count).
    int LastLayoutMoves() const { return lastLayoutMoves_; }
    // What the background erase covers: the client area less the areas of the
    // visible RS_NOERASE controls.
    QRegion EraseRegion() const;

    // The destroy handling: saves the placement when a key is set and reports a
    // failure with "Fail to Save!". Runs once; the destructor runs it otherwise.
    void DestroyWindow();

protected:
    bool OnInitDialog() override;
    // Lays out the anchors for the window's current size.
    void OnSize();
    virtual void OnDestroy();

    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect ClientRectOnScreen() const;
    AnchorRect ControlRect(const QWidget* control) const;
    void UpdateGrip();
    void ApplyMinMax();

    CWndPlacement placement_;
    std::string placementKey_;
    std::vector<AnchorInfo> anchors_;
    QRect previousClient_;
    QRect firstClient_;
    int minTrackWidth_ = 0;
    int minTrackHeight_ = 0;
    bool widthResizable_ = true;
    bool heightResizable_ = true;
    CSizeGripExt* grip_ = nullptr; // a child: the dialog owns it
    int lastLayoutMoves_ = 0;
    bool destroyed_ = false;
};

} // namespace tavora::controls
