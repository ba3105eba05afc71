#pragma once
// The status line's label: one line of plain text that, when it is longer
// than the room it has, ends in "…" at the end of its reading direction, and
// whose tooltip then starts with the whole text. text() is always the whole
// text; a tooltip set on the label (the first paths a scan skipped) follows
// the whole text after an empty line.

#include <QLabel>

class StatusLine : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    // Whether the text as painted now is cut short.
    bool IsElided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The text as it fits the line now.
    QString Shown() const;
};
