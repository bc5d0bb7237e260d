#include "widgets/stackpage.h"

#include <QBoxLayout>
#include <QGridLayout>

int StackPage::heightForWidth(int width) const
{
    // A stack hides every page but the one it shows.
    QLayout *own = layout();
    if (isHidden() || !own || !own->hasHeightForWidth())
        return -1;
    // Laid out at a width, a grid or a column gives each control that wraps the height it would
    // like at its width, and every other item its least height. A grid's least height for a width
    // reckons so already.
    if (qobject_cast<QGridLayout *>(own))
        return own->totalMinimumHeightForWidth(width);
    int height = own->totalHeightForWidth(width);
    const auto *column = qobject_cast<QBoxLayout *>(own);
    if (!column || column->direction() == QBoxLayout::LeftToRight || column->direction() == QBoxLayout::RightToLeft)
        return height;
    // A column's reckons its wrapping controls at their least: its least height is the height it
    // would like, less what its other items (a spacer among them) can give up. A row keeps the
    // height it would like, which is never too little.
    for (int index = 0; index < column->count(); ++index) {
        const QLayoutItem *item = column->itemAt(index);
        if (!item->hasHeightForWidth())
            height -= item->sizeHint().height() - item->minimumSize().height();
    }
    return height;
}
