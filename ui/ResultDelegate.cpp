#include "ui/ResultDelegate.h"

#include "ui/ResultModel.h"

#include <QApplication>
#include <QPainter>

namespace {
constexpr int RowPadding = 4;
constexpr int TextMargin = 4;
} // namespace

QSize ResultDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.rheight() += RowPadding;
    return s;
}

void ResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* model = qobject_cast<const ResultModel*>(index.model());
    if (!model || !model->IsGroupRow(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // A group header spans the row (the view spans its first column).
    const QPalette& pal = option.palette;
    QFont font = option.font;
    font.setBold(true);
    const QFontMetrics metrics(font);
    const QRect area = option.rect.adjusted(TextMargin, 0, -TextMargin, 0);
    const QString text = metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, area.width());
    painter->save();
    painter->setFont(font);
    const QColor heading = pal.color(QPalette::Active, QPalette::Highlight).darker(130);
    painter->setPen(heading);
    const bool rtl = option.direction == Qt::RightToLeft;
    painter->drawText(area, (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine, text);
    // The rule runs from the heading to the far end of the row.
    const int gap = metrics.horizontalAdvance(text) + 2 * TextMargin;
    const int from = rtl ? area.left() : area.left() + gap;
    const int to = rtl ? area.right() - gap : area.right();
    if (from < to) {
        QColor rule = heading;
        rule.setAlpha(70);
        painter->setPen(QPen(rule, 1));
        const int y = area.center().y() + 1;
        painter->drawLine(from, y, to, y);
    }
    painter->restore();
}
