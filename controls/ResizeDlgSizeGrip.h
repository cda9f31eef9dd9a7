#pragma once

#include <QSizeGrip>

namespace tavora::controls {

// The corner grip of a resizable dialog: a QSizeGrip of the platform's scroll-bar
// size, kept in the parent's bottom-right corner, below its siblings, optionally
// shaped as the lower-right triangle so it covers as little as possible.
class CSizeGripExt : public QSizeGrip {
    Q_OBJECT

public:
    // Creates the grip in parent; Reposition places and shows it.
    CSizeGripExt(QWidget* parent, bool visible, bool triangular);

    void SetVisible(bool visible) { visible_ = visible; }
    bool WantsVisible() const { return visible_; }
    // Moves the grip to the parent's bottom-right corner and shows or hides it.
    void Reposition(QWidget* parent);
    void SetTriangular(bool on);
    bool IsTriangular() const { return triangular_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void ReadMetrics();
    void ApplyShape();

    bool visible_ = false;
    bool triangular_ = false;
    int cx_ = 0;
    int cy_ = 0;
};

} // namespace tavora::controls
