#pragma once
// What a screen reader meets in a result view: a tree table of the rows the
// view lists (ResultModel's lines), a header cell per column first, then one
// cell per column of each row.
//
// - The check cell of an item row (column 0) is checkable, and its toggle
//   action flips the check as Space and a click on the box do
//   (ResultView::ToggleCheck, so through the model and ResultList::SetChecked).
// - The press action on any cell of an item row makes that row the current,
//   selected one, as a click on its text does; so do the table's selectRow.
// - A group header row is neither checkable nor selectable and has no action.
//
// Qt's own item view interface offers one action per cell, toggle, and makes
// it select the row, whatever the cell's check box; the result views
// therefore get these interfaces instead, through an interface factory.

class ResultView;

// Installs the factory (the first call only) and makes sure that view is
// served by it. ResultView calls it first thing in its constructor, before
// the view can send anything that asks for its interface.
void AttachResultViewAccessibility(ResultView* view);
