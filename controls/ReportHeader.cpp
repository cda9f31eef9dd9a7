#include "controls/ReportHeader.h"

#include "controls/ReportCtrl.h"
#include "controls/ReportImageList.h"
#include "controls/ReportModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace tavora::controls {

CReportHeader::CReportHeader(CReportCtrl& owner)
    : QHeaderView(Qt::Horizontal, &owner), owner_(owner) {
    setObjectName(QStringLiteral("ReportHeader"));
}

int CReportHeader::DividerAt(int x) const {
    // The same rule as the header's own: a grip margin either side of each
    // boundary, the one on the left of a section belonging to the shown column
    // before it.
    int visual = visualIndexAt(x);
    if (visual == -1)
        return -1;
    const int logical = logicalIndex(visual);
    const int start = sectionViewportPosition(logical);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    bool atLeft = x < start + grip;
    bool atRight = x > start + sectionSize(logical) - grip;
    if (isRightToLeft())
        std::swap(atLeft, atRight);
    if (atLeft) {
        while (--visual >= 0) {
            const int before = logicalIndex(visual);
            if (!isSectionHidden(before))
                return before;
        }
        return -1;
    }
    return atRight ? logical : -1;
}

void CReportHeader::mousePressEvent(QMouseEvent* event) {
    tracking_ = pressedOnItem_ = draggingItem_ = false;
    if (event->button() == Qt::LeftButton) {
        const int divider = DividerAt(event->position().toPoint().x());
        if (divider >= 0) {
            if (!owner_.OnHeaderBeginTrack(divider)) {
                event->accept(); // refused: the divider stays where it is
                return;
            }
            tracking_ = true;
        } else {
            pressedOnItem_ = true;
            pressPos_ = event->position().toPoint();
        }
    }
    QHeaderView::mousePressEvent(event);
}

void CReportHeader::mouseMoveEvent(QMouseEvent* event) {
    if (pressedOnItem_ && !draggingItem_ && sectionsMovable() &&
        (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressPos_).manhattanLength() >=
            QApplication::startDragDistance())
        draggingItem_ = true;
    QHeaderView::mouseMoveEvent(event);
}

void CReportHeader::mouseReleaseEvent(QMouseEvent* event) {
    const bool dropped = draggingItem_;
    tracking_ = pressedOnItem_ = draggingItem_ = false;
    if (dropped)
        owner_.OnHeaderEndDrag();
    dropping_ = dropped;
    QHeaderView::mouseReleaseEvent(event);
    dropping_ = false;
}

void CReportHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    const int divider = DividerAt(event->position().toPoint().x());
    if (event->button() == Qt::LeftButton && divider >= 0) {
        owner_.OnHeaderDividerDoubleClick(divider);
        event->accept();
        return;
    }
    QHeaderView::mouseDoubleClickEvent(event);
}

void CReportHeader::contextMenuEvent(QContextMenuEvent* event) {
    owner_.OnContextMenu(event);
}

QIcon CReportHeader::HeaderIcon(int logicalIndex, bool* onRight) const {
    const ReportModel* model = owner_.model_;
    if (!model->ValidColumn(logicalIndex) || !owner_.headerImages_)
        return {};
    const ReportColumn& column = model->Column(logicalIndex);
    if (!(column.headerFormat & HDF_IMAGE))
        return {};
    *onRight = (column.headerFormat & HDF_BITMAP_ON_RIGHT) != 0;
    return owner_.headerImages_->Icon(column.headerImage);
}

void CReportHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    bool onRight = false;
    const QIcon icon = HeaderIcon(logicalIndex, &onRight);
    if (icon.isNull() || !rect.isValid()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    QStyleOptionHeaderV2 option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    // Title and image as one block, placed by the title's alignment.
    const QRect label = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this);
    const QSize iconSize = owner_.headerImages_->IconSize();
    const int gap = 4;
    const QFontMetrics metrics(font());
    const int textRoom = std::max(0, label.width() - iconSize.width() - gap);
    const QString text = metrics.elidedText(option.text, Qt::ElideRight, textRoom);
    const int textWidth = metrics.horizontalAdvance(text);
    const int block = textWidth + gap + iconSize.width();
    int left = label.left();
    if (option.textAlignment & Qt::AlignRight)
        left = label.right() + 1 - block;
    else if (option.textAlignment & Qt::AlignHCenter)
        left = label.left() + (label.width() - block) / 2;
    left = std::max(left, label.left());

    const int iconLeft = onRight ? left + textWidth + gap : left;
    const int textLeft = onRight ? left : left + iconSize.width() + gap;
    const QRect iconRect(QPoint(iconLeft, label.top() + (label.height() - iconSize.height()) / 2),
                         iconSize);
    icon.paint(painter, iconRect);
    option.rect = QRect(textLeft, label.top(), textWidth + 1, label.height());
    option.text = text;
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.icon = QIcon();
    style()->drawControl(QStyle::CE_HeaderLabel, &option, painter, this);
    painter->restore();
}

QSize CReportHeader::sectionSizeFromContents(int logicalIndex) const {
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    bool onRight = false;
    if (!HeaderIcon(logicalIndex, &onRight).isNull()) {
        const QSize icon = owner_.headerImages_->IconSize();
        size.rwidth() += icon.width() + 4;
        size.setHeight(std::max(size.height(), icon.height() + 4));
    }
    return size;
}

} // namespace tavora::controls
