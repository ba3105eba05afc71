#pragma once
// The view of a result list: a report of rows and columns, groups always
// expanded under spanning header rows, a check box on every item row, no
// editing, whole-row single selection that stays as visible when the view
// loses the focus. Space toggles the check box of the current row, whatever
// column holds the focus.

#include <QTreeView>

class ResultModel;

class ResultView : public QTreeView {
    Q_OBJECT
public:
    // Shows model (made a child of the view's owner by the caller, or of the
    // view) from now on.
    explicit ResultView(ResultModel* model, QWidget* parent = nullptr);

    ResultModel* Model() const { return FModel; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ModelWasReset();
    void KeepSelectionVisible();

    ResultModel* FModel;
};
