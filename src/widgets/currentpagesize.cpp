#include "widgets/currentpagesize.h"

#include <QChildEvent>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

// The size policy a page had before it was first left out of its stack's size.
const char OwnPolicyProperty[] = "tenvara_own_size_policy";

// A page not shown takes no part in the stack's least size: its policy is Ignored both ways
// while another page is shown, and its own again once it is shown.
void countPage(QWidget *page, bool shown)
{
    QVariant own = page->property(OwnPolicyProperty);
    if (!own.isValid()) {
        own = QVariant::fromValue(page->sizePolicy());
        page->setProperty(OwnPolicyProperty, own);
    }
    const QSizePolicy ownPolicy = own.value<QSizePolicy>();
    QSizePolicy policy = page->sizePolicy();
    policy.setHorizontalPolicy(shown ? ownPolicy.horizontalPolicy() : QSizePolicy::Ignored);
    policy.setVerticalPolicy(shown ? ownPolicy.verticalPolicy() : QSizePolicy::Ignored);
    if (policy != page->sizePolicy())
        page->setSizePolicy(policy);
}

} // namespace

CurrentPageSize::CurrentPageSize(QStackedWidget *stack)
    : QObject(stack), m_stack(stack)
{
    stack->installEventFilter(this);
    connect(stack, &QStackedWidget::currentChanged, this, &CurrentPageSize::apply);
    apply();
}

void CurrentPageSize::follow(QStackedWidget *stack)
{
    if (!stack->findChild<CurrentPageSize *>(QString(), Qt::FindDirectChildrenOnly))
        new CurrentPageSize(stack);
}

void CurrentPageSize::follow(QTabWidget *tabs)
{
    // A tab widget keeps its pages in a stacked widget of its own.
    if (auto *stack = tabs->findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly))
        follow(stack);
}

void CurrentPageSize::apply()
{
    const QWidget *current = m_stack->currentWidget();
    for (int index = 0; index < m_stack->count(); ++index)
        countPage(m_stack->widget(index), m_stack->widget(index) == current);
}

bool CurrentPageSize::eventFilter(QObject *watched, QEvent *event)
{
    // A page added later is not shown yet; the stack says so when it shows it.
    if (watched == m_stack && event->type() == QEvent::ChildAdded) {
        if (auto *page = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            countPage(page, false);
    }
    return QObject::eventFilter(watched, event);
}
