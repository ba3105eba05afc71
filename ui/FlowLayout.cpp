#include "ui/FlowLayout.h"

#include <QWidget>

TFlowLayout::TFlowLayout(QWidget* parent, int spacing)
    : QLayout(parent)
    , FSpacing(spacing)
{
}

TFlowLayout::~TFlowLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void TFlowLayout::AddWidget(QWidget* w, bool trailing)
{
    if (trailing && FTrailingFrom < 0)
        FTrailingFrom = int(FItems.size());
    addWidget(w);
}

void TFlowLayout::addItem(QLayoutItem* item) { FItems.append(item); }

QLayoutItem* TFlowLayout::takeAt(int index)
{
    if (index < 0 || index >= FItems.size())
        return nullptr;
    if (FTrailingFrom > index)
        --FTrailingFrom;
    return FItems.takeAt(index);
}

QSize TFlowLayout::minimumSize() const
{
    // As narrow as the widest item: everything else can wrap.
    QSize size;
    for (const QLayoutItem* item : FItems)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize TFlowLayout::sizeHint() const
{
    // One row.
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : FItems) {
        const QSize s = item->sizeHint().expandedTo(item->minimumSize());
        width += s.width() + (width > 0 ? FSpacing : 0);
        height = qMax(height, s.height());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void TFlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int TFlowLayout::Arrange(const QRect& rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const bool rtl = parentWidget() && parentWidget()->layoutDirection() == Qt::RightToLeft;
    struct Row {
        int First;
        int End;
        int Height;
    };
    QList<Row> rows;
    int x = 0;
    Row row { 0, 0, 0 };
    for (int i = 0; i < FItems.size(); ++i) {
        const QSize s = FItems[i]->sizeHint().expandedTo(FItems[i]->minimumSize());
        const int needed = (row.End > row.First ? x + FSpacing : 0) + s.width();
        if (row.End > row.First && needed > area.width()) {
            rows.append(row);
            row = Row { i, i, 0 };
            x = 0;
        }
        x = (row.End > row.First ? x + FSpacing : 0) + s.width();
        row.End = i + 1;
        row.Height = qMax(row.Height, s.height());
    }
    if (row.End > row.First)
        rows.append(row);

    int y = area.top();
    for (const Row& r : rows) {
        // Leading items from the start, trailing ones against the far end.
        int lead = 0;
        int trail = 0;
        for (int i = r.First; i < r.End; ++i) {
            const int w = FItems[i]->sizeHint().expandedTo(FItems[i]->minimumSize()).width();
            if (FTrailingFrom >= 0 && i >= FTrailingFrom)
                trail += w + (trail > 0 ? FSpacing : 0);
        }
        int trailX = area.width() - trail;
        for (int i = r.First; i < r.End; ++i) {
            const QSize s = FItems[i]->sizeHint().expandedTo(FItems[i]->minimumSize());
            const bool trailing = FTrailingFrom >= 0 && i >= FTrailingFrom;
            int left;
            if (trailing) {
                left = trailX;
                trailX += s.width() + FSpacing;
            } else {
                left = lead;
                lead += s.width() + FSpacing;
            }
            if (apply) {
                QRect g(area.left() + left, y, s.width(), s.height());
                if (rtl)
                    g.moveLeft(area.left() + area.width() - left - s.width());
                FItems[i]->setGeometry(g);
            }
        }
        y += r.Height + FSpacing;
    }
    const QMargins m = contentsMargins();
    return (rows.isEmpty() ? 0 : y - FSpacing - area.top()) + m.top() + m.bottom();
}
