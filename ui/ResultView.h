#pragma once
// The view of a result list: a report of rows and columns, groups always
// expanded under spanning header rows, a check box on every item row, no
// editing, whole-row single selection that stays as visible when the view
// loses the focus. Space toggles the check box of the current row, whatever
// column holds the focus; Return or Enter on the current row, and a
// double-click on a row away from its check box, ask for the row to be opened
// (RowOpened). What opening means is the owner's. Screen readers meet it as
// ResultAccessible.h describes.

#include <QTreeView>

class ResultModel;

class ResultView : public QTreeView {
    Q_OBJECT
public:
    // Shows model (made a child of the view's owner by the caller, or of the
    // view) from now on.
    explicit ResultView(ResultModel* model, QWidget* parent = nullptr);

    ResultModel* Model() const { return FModel; }

    // Flips the check box of index's row (any column of it), through the
    // model; false when the row has none (a group header, or while the
    // list's update bracket is open).
    bool ToggleCheck(const QModelIndex& index);

signals:
    // index: a cell of the row (any column).
    void RowOpened(const QModelIndex& index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ModelWasReset();
    void KeepSelectionVisible();

    ResultModel* FModel;
};
