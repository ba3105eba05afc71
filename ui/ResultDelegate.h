#pragma once
// Paints the rows of a result view: item rows with a little air around the
// text, and group header rows as a heading followed by a rule across the
// row, so the groups stand apart from their items.

#include <QStyledItemDelegate>

class ResultDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
