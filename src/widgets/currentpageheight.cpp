#include "widgets/currentpageheight.h"

#include <QChildEvent>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

// The vertical size policy a page had before it was first hidden from its stack's height.
const char OwnPolicyProperty[] = "tenvara_own_vertical_policy";

// A page not shown takes no part in the stack's least height: its vertical policy is Ignored
// while another page is shown, and its own again once it is shown.
void countPage(QWidget *page, bool shown)
{
    QVariant own = page->property(OwnPolicyProperty);
    if (!own.isValid()) {
        own = int(page->sizePolicy().verticalPolicy());
        page->setProperty(OwnPolicyProperty, own);
    }
    QSizePolicy policy = page->sizePolicy();
    policy.setVerticalPolicy(shown ? QSizePolicy::Policy(own.toInt()) : QSizePolicy::Ignored);
    if (policy != page->sizePolicy())
        page->setSizePolicy(policy);
}

} // namespace

CurrentPageHeight::CurrentPageHeight(QStackedWidget *stack)
    : QObject(stack), m_stack(stack)
{
    stack->installEventFilter(this);
    connect(stack, &QStackedWidget::currentChanged, this, &CurrentPageHeight::apply);
    apply();
}

void CurrentPageHeight::follow(QStackedWidget *stack)
{
    if (!stack->findChild<CurrentPageHeight *>(QString(), Qt::FindDirectChildrenOnly))
        new CurrentPageHeight(stack);
}

void CurrentPageHeight::follow(QTabWidget *tabs)
{
    // A tab widget keeps its pages in a stacked widget of its own.
    if (auto *stack = tabs->findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly))
        follow(stack);
}

void CurrentPageHeight::apply()
{
    const QWidget *current = m_stack->currentWidget();
    for (int index = 0; index < m_stack->count(); ++index)
        countPage(m_stack->widget(index), m_stack->widget(index) == current);
}

bool CurrentPageHeight::eventFilter(QObject *watched, QEvent *event)
{
    // A page added later is not shown yet; the stack says so when it shows it.
    if (watched == m_stack && event->type() == QEvent::ChildAdded) {
        if (auto *page = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            countPage(page, false);
    }
    return QObject::eventFilter(watched, event);
}
