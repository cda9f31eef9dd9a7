#pragma once

#include <cstdint>

namespace tavora::controls {

// Anchor modes: how one axis of a control follows the dialog's size changes.
// Values 6 to 15 act like RS_KEEP without its special rule.
enum AnchorMode : uint8_t {
    RS_KEEP = 0,    // the control stays
    RS_STRETCH = 1, // the far edge moves with the client size
    RS_MOVE = 2,    // both edges move with the client size
    RS_CENTER = 3,  // the centre stays at a fraction of the client size
    RS_SCALE = 4,   // both edges scale from the first rectangle and client size
    RS_SHARE = 5,   // the edges take given shares of the growth since the first size
};

// Anchor options, a bit set.
enum AnchorOption : uint8_t {
    RS_NOERASE = 1, // the dialog's background erase leaves the control's area alone
    RS_REPAINT = 2, // the control and its old area are repainted when it moves
};

// A rectangle with exclusive right and bottom edges, in dialog client coordinates.
struct AnchorRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const AnchorRect&) const = default;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct AnchorInfo {
    int id = 0;
    uint8_t leftMode : 4 = RS_KEEP;
    uint8_t rightMode : 4 = RS_KEEP;
    uint8_t topMode : 4 = RS_KEEP;
    uint8_t bottomMode : 4 = RS_KEEP;
    bool noErase = false;
    bool repaint = false;
    // As last placed by the layout on axes that follow the control step by step;
    // as registered on axes that scale or share.
    AnchorRect rect;
    double xShare = 0, xGrow = 0, yShare = 0, yGrow = 0;
};

// The size change one layout pass answers.
struct AnchorFrame {
    int dx = 0, dy = 0;                  // client size change since the previous layout
    int growX = 0, growY = 0;            // client size change since the first layout
    int width = 0, height = 0;           // new client size
    int firstWidth = 0, firstHeight = 0; // client size after initialisation
};

struct AnchorPlacement {
    bool move = false;  // false: the control keeps its place and the record stays
    AnchorRect target;  // where the control goes
    AnchorRect oldArea; // what the control covered (repainted with RS_REPAINT)
    bool keepX = true;  // the record follows the control on x
    bool keepY = true;  // ... and on y
};

// Lays out one anchor with the right and bottom edges moving. current is the
// control's rectangle now. Pure arithmetic, so every mode can be checked alone.
AnchorPlacement LayoutAnchor(const AnchorInfo& anchor, const AnchorRect& current,
                             const AnchorFrame& frame);

// Stores a placement's target in the record on the axes that keep it.
void CommitAnchor(AnchorInfo& anchor, const AnchorPlacement& placement);

// The centre of [a, b) as a fraction of extent; 0.5 for an empty extent.
double CentreShare(int a, int b, int extent);

} // namespace tavora::controls
