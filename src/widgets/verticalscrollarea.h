#pragma once

#include <QScrollArea>

// A scroll area for a side panel that keeps its width and scrolls up and down only. It is as
// wide as the panel needs with room for the vertical scroll bar, so the bar, shown while the
// panel is taller than the area, neither covers nor cuts the panel; and it asks for no more
// height than its scroll bar needs, so the panel's height never squeezes the page it sits on.
class VerticalScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit VerticalScrollArea(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int panelMinimumWidth() const;
};
