#pragma once

#include <QObject>

class QStackedWidget;
class QTabWidget;

// Makes a stack of pages (a stacked widget, or a tab widget's pages) ask its layout for the
// least height of the page it shows, not of the tallest of its pages. A tall page not shown then
// neither makes the window scroll nor squeezes the page shown, and the page shown gets all the
// height it needs, scrolled by the window where that is more than the window has.
class CurrentPageHeight : public QObject
{
    Q_OBJECT

public:
    static void follow(QStackedWidget *stack);
    static void follow(QTabWidget *tabs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit CurrentPageHeight(QStackedWidget *stack);
    void apply();

    QStackedWidget *m_stack;
};
