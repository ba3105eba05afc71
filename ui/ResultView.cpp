#include "ui/ResultView.h"

#include "ui/ResultAccessible.h"
#include "ui/ResultDelegate.h"
#include "ui/ResultModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

ResultView::ResultView(ResultModel* model, QWidget* parent)
    : QTreeView(parent)
    , FModel(model)
{
    AttachResultViewAccessibility(this);
    setModel(model);
    setItemDelegate(new ResultDelegate(this));
    // Groups are always open and cannot be folded; items sit under their header.
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    KeepSelectionVisible();
    connect(model, &ResultModel::Reset, this, &ResultView::ModelWasReset);
    ModelWasReset();
}

void ResultView::KeepSelectionVisible()
{
    QPalette pal = palette();
    bool changed = false;
    for (QPalette::ColorRole role : { QPalette::Highlight, QPalette::HighlightedText }) {
        const QColor active = pal.color(QPalette::Active, role);
        if (pal.color(QPalette::Inactive, role) != active) {
            pal.setColor(QPalette::Inactive, role, active);
            changed = true;
        }
    }
    if (changed)
        setPalette(pal);
}

void ResultView::changeEvent(QEvent* event)
{
    QTreeView::changeEvent(event);
    // A new style or desktop palette brings its own inactive colours.
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::ApplicationPaletteChange)
        KeepSelectionVisible();
}

void ResultView::ModelWasReset()
{
    const int rows = FModel->rowCount();
    for (int r = 0; r < rows; ++r) {
        if (FModel->IsGroupRow(FModel->index(r, 0)))
            setFirstColumnSpanned(r, QModelIndex(), true);
    }
    expandAll();
}

bool ResultView::ToggleCheck(const QModelIndex& index)
{
    const QModelIndex box = index.isValid() && index.model() == FModel ? index.siblingAtColumn(0) : QModelIndex();
    if (!box.isValid() || !(FModel->flags(box) & Qt::ItemIsUserCheckable))
        return false;
    const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return FModel->setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

void ResultView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && ToggleCheck(currentIndex())) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier
        && currentIndex().isValid()) {
        emit RowOpened(currentIndex());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ResultView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton || !index.isValid())
        return;
    // Two quick clicks on a check box are two toggles, not an open.
    if (index.column() == 0 && (FModel->flags(index) & Qt::ItemIsUserCheckable)) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
        if (box.contains(event->position().toPoint()))
            return;
    }
    emit RowOpened(index);
}
