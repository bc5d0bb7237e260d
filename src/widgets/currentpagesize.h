#pragma once

#include <QObject>

class QStackedWidget;
class QTabWidget;

// Makes a stack of pages (a stacked widget, or a tab widget's pages) ask its layout for the
// least size of the page it shows, not of the largest of its pages. A large page not shown then
// neither makes the window scroll nor squeezes the page shown, and the page shown gets all the
// room it needs, scrolled by the window where that is more than the window has. A page that
// lays out by height for width is a StackPage, which asks for none while it is not shown.
class CurrentPageSize : public QObject
{
    Q_OBJECT

public:
    static void follow(QStackedWidget *stack);
    static void follow(QTabWidget *tabs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit CurrentPageSize(QStackedWidget *stack);
    void apply();

    QStackedWidget *m_stack;
};
