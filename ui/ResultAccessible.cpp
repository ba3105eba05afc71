#include "ui/ResultAccessible.h"

#include "ui/ResultModel.h"
#include "ui/ResultView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QPointer>

namespace {

// The logical child index of the cell of index in the view's interface: the
// header row first, then the lines, each as wide as the model. The view sends
// its focus and selection events with these numbers.
int LogicalIndex(const ResultModel* model, const QModelIndex& index)
{
    const int line = model->LineOf(index);
    return line < 0 ? -1 : (line + 1) * model->columnCount() + index.column();
}

// The caption of one column.
class HeaderCell : public QAccessibleInterface {
public:
    HeaderCell(ResultView* view, int column)
        : FView(view)
        , FColumn(column)
    {
    }

    const ResultView* View() const { return FView; }
    int Column() const { return FColumn; }

    bool isValid() const override { return FView && FColumn < FView->Model()->columnCount(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(FView.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        return FView->Model()->headerData(FColumn, Qt::Horizontal).toString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QHeaderView* header = FView->header();
        const QPoint origin = header->viewport()->mapToGlobal(QPoint(0, 0));
        return QRect(origin.x() + header->sectionViewportPosition(FColumn), origin.y(), header->sectionSize(FColumn),
            header->height());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (isValid())
            s.invisible = !FView->header()->isVisible() || FView->header()->isSectionHidden(FColumn);
        return s;
    }

private:
    QPointer<ResultView> FView;
    int FColumn;
};

// One column of one row.
class RowCell : public QAccessibleInterface, public QAccessibleTableCellInterface, public QAccessibleActionInterface {
public:
    RowCell(ResultView* view, const QModelIndex& index)
        : FView(view)
        , FIndex(index)
    {
    }

    const ResultView* View() const { return FView; }
    // Invalid once the model has been reset: the rows are then new ones.
    const QPersistentModelIndex& Index() const { return FIndex; }

    bool isValid() const override { return FView && FIndex.isValid(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(FView.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    void setText(QAccessible::Text, const QString&) override {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name) {
            const QString name = FIndex.data(Qt::AccessibleTextRole).toString();
            return name.isEmpty() ? FIndex.data(Qt::DisplayRole).toString() : name;
        }
        if (t == QAccessible::Description)
            return FIndex.data(Qt::AccessibleDescriptionRole).toString();
        return {};
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = FView->visualRect(FIndex);
        if (r.isNull())
            return {};
        return QRect(FView->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid())
            return st;
        const QRect shown(FView->mapToGlobal(QPoint(0, 0)), FView->size());
        if (!shown.intersects(rect()))
            st.invisible = true;
        if (FView->selectionModel()->isSelected(FIndex))
            st.selected = true;
        if (FView->currentIndex() == FIndex)
            st.focused = true;
        const Qt::ItemFlags flags = FIndex.flags();
        const QVariant check = FIndex.data(Qt::CheckStateRole);
        if ((flags & Qt::ItemIsUserCheckable) && check.isValid()) {
            st.checkable = true;
            st.checked = check.toInt() == Qt::Checked;
        }
        if (flags & Qt::ItemIsSelectable) {
            st.selectable = true;
            st.focusable = true;
        }
        // A group is always open under its header.
        if (FIndex.column() == 0 && FView->Model()->IsGroupRow(FIndex)) {
            st.expandable = true;
            st.expanded = FView->isExpanded(FIndex);
        }
        return st;
    }

    // ---- QAccessibleTableCellInterface
    bool isSelected() const override { return isValid() && FView->selectionModel()->isSelected(FIndex); }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QAccessibleInterface* table = isValid() ? parent() : nullptr;
        // The header row comes first among the table's children.
        QAccessibleInterface* header = table ? table->child(FIndex.column()) : nullptr;
        if (!header)
            return {};
        return { header };
    }
    int columnIndex() const override { return isValid() ? FIndex.column() : -1; }
    int rowIndex() const override { return isValid() ? FView->Model()->LineOf(FIndex) : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // ---- QAccessibleActionInterface
    QStringList actionNames() const override
    {
        QStringList names;
        if (!isValid())
            return names;
        const Qt::ItemFlags flags = FIndex.flags();
        if (flags & Qt::ItemIsUserCheckable)
            names << toggleAction();
        if (flags & Qt::ItemIsSelectable)
            names << pressAction();
        return names;
    }

    void doAction(const QString& name) override
    {
        if (!isValid())
            return;
        const Qt::ItemFlags flags = FIndex.flags();
        if (name == toggleAction() && (flags & Qt::ItemIsUserCheckable)) {
            FView->ToggleCheck(FIndex);
        } else if (name == pressAction() && (flags & Qt::ItemIsSelectable)) {
            FView->setCurrentIndex(FIndex);
            FView->scrollTo(FIndex);
        }
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<ResultView> FView;
    QPersistentModelIndex FIndex;
};

// The view itself: a tree table over its model's lines.
class ViewInterface : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ViewInterface(ResultView* view)
        : QAccessibleWidget(view, QAccessible::Tree)
    {
    }

    ~ViewInterface() override
    {
        for (QAccessible::Id id : std::as_const(FChildren))
            QAccessible::deleteAccessibleInterface(id);
    }

    ResultView* View() const { return static_cast<ResultView*>(widget()); }
    ResultModel* Model() const { return View()->Model(); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override
    {
        const int columns = Model()->columnCount();
        return columns == 0 ? 0 : (Model()->LineCount() + 1) * columns;
    }

    QAccessibleInterface* child(int index) const override
    {
        const int columns = Model()->columnCount();
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const auto known = FChildren.constFind(index); known != FChildren.constEnd()) {
            QAccessibleInterface* iface = QAccessible::accessibleInterface(*known);
            if (iface && iface->isValid() && indexOfChild(iface) == index)
                return iface;
            // Made for a row before the model was reset; a screen reader that
            // was not running then was not told.
            const QAccessible::Id stale = *known;
            FChildren.remove(index);
            if (iface)
                QAccessible::deleteAccessibleInterface(stale);
        }
        QAccessibleInterface* made = nullptr;
        if (index < columns) {
            made = new HeaderCell(View(), index);
        } else {
            const QModelIndex at = Model()->IndexAtLine(index / columns - 1, index % columns);
            if (!at.isValid())
                return nullptr;
            made = new RowCell(View(), at);
        }
        FChildren.insert(index, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (const auto* header = dynamic_cast<const HeaderCell*>(child))
            return header->View() == View() && header->isValid() ? header->Column() : -1;
        if (const auto* cell = dynamic_cast<const RowCell*>(child))
            return cell->View() == View() && cell->isValid() ? LogicalIndex(Model(), cell->Index()) : -1;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QModelIndex at = View()->indexAt(View()->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? child(LogicalIndex(Model(), at)) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        const QModelIndex current = View()->currentIndex();
        return current.isValid() ? child(LogicalIndex(Model(), current)) : nullptr;
    }

    // ---- QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }

    QAccessibleInterface* cellAt(int row, int column) const override
    {
        const QModelIndex at = Model()->IndexAtLine(row, column);
        return at.isValid() ? child(LogicalIndex(Model(), at)) : nullptr;
    }

    int selectedCellCount() const override { return int(View()->selectionModel()->selectedIndexes().size()); }

    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (const QModelIndex& index : View()->selectionModel()->selectedIndexes()) {
            if (QAccessibleInterface* cell = child(LogicalIndex(Model(), index)))
                cells.append(cell);
        }
        return cells;
    }

    QString columnDescription(int column) const override
    {
        return Model()->headerData(column, Qt::Horizontal).toString();
    }
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override { return Model()->columnCount(); }
    int rowCount() const override { return Model()->LineCount(); }

    // Whole rows are selected, never columns.
    int selectedColumnCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    int selectedRowCount() const override { return int(selectedRows().size()); }

    QList<int> selectedRows() const override
    {
        QList<int> rows;
        for (const QModelIndex& index : View()->selectionModel()->selectedRows())
            rows.append(Model()->LineOf(index));
        return rows;
    }

    bool isRowSelected(int row) const override
    {
        const QModelIndex at = Model()->IndexAtLine(row);
        return at.isValid() && View()->selectionModel()->isRowSelected(at.row(), at.parent());
    }

    // The one selected row becomes the current one too, as a click makes it.
    bool selectRow(int row) override
    {
        const QModelIndex at = Model()->IndexAtLine(row);
        if (!(Model()->flags(at) & Qt::ItemIsSelectable))
            return false;
        View()->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }

    bool unselectRow(int row) override
    {
        const QModelIndex at = Model()->IndexAtLine(row);
        if (!at.isValid() || !View()->selectionModel()->isRowSelected(at.row(), at.parent()))
            return false;
        View()->selectionModel()->select(at, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        return true;
    }

    void modelChange(QAccessibleTableModelChangeEvent* event) override
    {
        // The model only ever changes its rows by a reset; a change of data
        // leaves every cell where it is.
        if (event->modelChangeType() == QAccessibleTableModelChangeEvent::DataChanged)
            return;
        for (QAccessible::Id id : std::as_const(FChildren))
            QAccessible::deleteAccessibleInterface(id);
        FChildren.clear();
    }

private:
    // Logical child index -> the interface made for it; each is registered
    // with QAccessible, which hands them out by id, and deleted here.
    mutable QHash<int, QAccessible::Id> FChildren;
};

QAccessibleInterface* ResultViewFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("ResultView")) {
        if (auto* view = qobject_cast<ResultView*>(object))
            return new ViewInterface(view);
    }
    return nullptr;
}

} // namespace

void AttachResultViewAccessibility(ResultView* view)
{
    static const bool installed = [] {
        QAccessible::installFactory(&ResultViewFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // With a screen reader running, Qt makes a widget's interface as soon as
    // an event about it is sent; one made while the view was still being
    // built as a plain QTreeView would be Qt's own, and kept for good.
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
        iface && !dynamic_cast<ViewInterface*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}
