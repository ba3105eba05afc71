#include "ui/StatusLine.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

StatusLine::StatusLine(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

bool StatusLine::IsElided() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
        isEnabled(), shown, foregroundRole());
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
