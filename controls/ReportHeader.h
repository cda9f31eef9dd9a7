#pragma once

#include <QHeaderView>
#include <QPoint>

namespace tavora::controls {

class CReportCtrl;

// The header of CReportCtrl. It reports the moments the list reacts to: a divider
// drag starting (which the list may refuse), a divider double click, the end of a
// column drag, and context menus; and it draws header images left or right of
// the title.
class CReportHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit CReportHeader(CReportCtrl& owner);

    // The column whose divider is at x (viewport coordinates), or -1. A divider
    // belongs to the column on its left; hidden columns have none.
    int DividerAt(int x) const;
    // True while a mouse release is dropping a dragged column.
    bool DroppingColumn() const { return dropping_; }
    // True while the user drags a divider.
    bool TrackingDivider() const { return tracking_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    QIcon HeaderIcon(int logicalIndex, bool* onRight) const;

    CReportCtrl& owner_;
    bool tracking_ = false;
    bool pressedOnItem_ = false;
    bool draggingItem_ = false;
    bool dropping_ = false;
    QPoint pressPos_;
};

} // namespace tavora::controls
