#include "widgets/verticalscrollarea.h"

#include <QEvent>
#include <QScrollBar>

#include <algorithm>

VerticalScrollArea::VerticalScrollArea(QWidget *parent)
    : QScrollArea(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

// The least width the panel's layout gives it: its own least width when one is set, else its hint.
int VerticalScrollArea::panelMinimumWidth() const
{
    const QWidget *panel = widget();
    return panel->minimumWidth() > 0 ? panel->minimumWidth() : panel->minimumSizeHint().width();
}

QSize VerticalScrollArea::minimumSizeHint() const
{
    const QSize area = QScrollArea::minimumSizeHint();
    if (!widget())
        return area;
    const int bar = verticalScrollBar()->sizeHint().width();
    return {panelMinimumWidth() + bar + 2 * frameWidth(), area.height()};
}

QSize VerticalScrollArea::sizeHint() const
{
    if (!widget())
        return QScrollArea::sizeHint();
    const QSize panel = widget()->sizeHint();
    const int bar = verticalScrollBar()->sizeHint().width();
    const int frame = 2 * frameWidth();
    return {std::max(panel.width(), panelMinimumWidth() + bar) + frame, panel.height() + frame};
}

bool VerticalScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    // The panel's needs changed (a row shown, a language's texts): so do the area's.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
