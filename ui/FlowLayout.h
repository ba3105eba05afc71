#pragma once
// A layout that sets its widgets side by side in their order and starts a
// new row where the width runs out, so a row of command buttons stays whole
// on a narrow screen. Widgets keep their size hints (at least their minimum
// sizes); a widget marked with AlignRight in addWidget is flushed to the
// far end of its row (with all widgets after it).

#include <QLayout>
#include <QList>

class TFlowLayout : public QLayout {
public:
    explicit TFlowLayout(QWidget* parent = nullptr, int spacing = 7);
    ~TFlowLayout() override;

    // Adds w; trailing: w and the widgets after it go to the row's far end.
    void AddWidget(QWidget* w, bool trailing = false);

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(FItems.size()); }
    QLayoutItem* itemAt(int index) const override { return FItems.value(index); }
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return Arrange(QRect(0, 0, width, 0), false); }
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in rect (when apply); returns the height they take.
    int Arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> FItems;
    int FTrailingFrom = -1; // index of the first trailing item, -1 for none
    int FSpacing;
};
