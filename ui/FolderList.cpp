#include "ui/FolderList.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPersistentModelIndex>
#include <QPointer>

namespace {

// One folder of the list.
class FolderItemInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    FolderItemInterface(FolderList* list, const QModelIndex& index)
        : FList(list)
        , FIndex(index)
    {
    }

    FolderList* List() const { return FList; }
    // Invalid once the list has been filled again: the rows are new ones.
    const QPersistentModelIndex& Index() const { return FIndex; }

    bool isValid() const override { return FList && FIndex.isValid(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(FList.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return FIndex.data(Qt::DisplayRole).toString();
        if (t == QAccessible::Description)
            return FIndex.data(Qt::ToolTipRole).toString();
        return {};
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = FList->visualRect(FIndex);
        return r.isNull() ? QRect() : QRect(FList->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid())
            return st;
        const QRect shown(FList->viewport()->mapToGlobal(QPoint(0, 0)), FList->viewport()->size());
        if (!shown.intersects(rect()))
            st.invisible = true;
        const Qt::ItemFlags flags = FIndex.flags();
        if (flags & Qt::ItemIsSelectable) {
            st.selectable = true;
            st.focusable = true;
        }
        if (FList->selectionModel()->isSelected(FIndex))
            st.selected = true;
        if (FList->currentIndex() == FIndex && FList->hasFocus())
            st.focused = true;
        const QVariant check = FIndex.data(Qt::CheckStateRole);
        if ((flags & Qt::ItemIsUserCheckable) && check.isValid()) {
            st.checkable = true;
            st.checked = check.toInt() == Qt::Checked;
        }
        return st;
    }

    // ---- QAccessibleActionInterface
    QStringList actionNames() const override
    {
        QStringList names;
        if (!isValid())
            return names;
        if (FIndex.flags() & Qt::ItemIsUserCheckable)
            names << toggleAction();
        if (FIndex.flags() & Qt::ItemIsSelectable)
            names << pressAction();
        return names;
    }

    void doAction(const QString& name) override
    {
        if (!isValid())
            return;
        const Qt::ItemFlags flags = FIndex.flags();
        if (name == toggleAction() && (flags & Qt::ItemIsUserCheckable) && (flags & Qt::ItemIsEnabled)) {
            // As Space does: the check state of the item, which the window
            // hears through itemChanged.
            if (QListWidgetItem* item = FList->item(FIndex.row()))
                item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        } else if (name == pressAction() && (flags & Qt::ItemIsSelectable)) {
            FList->setCurrentIndex(FIndex);
            FList->scrollTo(FIndex);
        }
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        return name == toggleAction() ? QStringList { QStringLiteral("Space") } : QStringList {};
    }

private:
    QPointer<FolderList> FList;
    QPersistentModelIndex FIndex;
};

class FolderListInterface : public QAccessibleWidget {
public:
    explicit FolderListInterface(FolderList* list)
        : QAccessibleWidget(list, QAccessible::List)
    {
    }

    ~FolderListInterface() override
    {
        for (QAccessible::Id id : std::as_const(FChildren))
            QAccessible::deleteAccessibleInterface(id);
    }

    FolderList* List() const { return static_cast<FolderList*>(widget()); }

    int childCount() const override { return List()->count(); }

    QAccessibleInterface* child(int row) const override
    {
        if (row < 0 || row >= childCount())
            return nullptr;
        if (const auto known = FChildren.constFind(row); known != FChildren.constEnd()) {
            QAccessibleInterface* iface = QAccessible::accessibleInterface(*known);
            if (iface && iface->isValid() && indexOfChild(iface) == row)
                return iface;
            // Made for a row of the list before it was filled again.
            const QAccessible::Id stale = *known;
            FChildren.remove(row);
            if (iface)
                QAccessible::deleteAccessibleInterface(stale);
        }
        auto* made = new FolderItemInterface(List(), List()->model()->index(row, 0));
        FChildren.insert(row, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* item = dynamic_cast<const FolderItemInterface*>(child);
        return item && item->List() == List() && item->isValid() ? item->Index().row() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QModelIndex at = List()->indexAt(List()->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? child(at.row()) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        const QModelIndex current = List()->currentIndex();
        return current.isValid() ? child(current.row()) : nullptr;
    }

private:
    mutable QHash<int, QAccessible::Id> FChildren;
};

QAccessibleInterface* FolderListFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("FolderList"))
        if (auto* list = qobject_cast<FolderList*>(object))
            return new FolderListInterface(list);
    return nullptr;
}

} // namespace

FolderList::FolderList(QWidget* parent)
    : QListWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(&FolderListFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // An interface made while this was still being built as a plain list
    // would be Qt's own, and kept for good.
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(this);
        iface && !dynamic_cast<FolderListInterface*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}
