#include "ui/StatusLine.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

StatusLine::StatusLine(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

QString StatusLine::Shown() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

bool StatusLine::IsElided() const { return Shown() != text(); }

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
        palette(), isEnabled(), Shown(), foregroundRole());
}

bool StatusLine::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && IsElided()) {
        const QString own = toolTip();
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
            own.isEmpty() ? text() : text() + QStringLiteral("\n\n") + own, this);
        return true;
    }
    return QLabel::event(event);
}
