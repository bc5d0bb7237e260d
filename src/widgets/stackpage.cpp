#include "widgets/stackpage.h"

#include <QBoxLayout>
#include <QGridLayout>

int StackPage::heightForWidth(int width) const
{
    // A stack hides every page but the one it shows.
    QLayout *own = layout();
    if (isHidden() || !own || !own->hasHeightForWidth())
        return -1;
    // Laid out at a width, a grid or a column gives each item that wraps the height it would
    // like at its width, and every other item its least height. A grid's least height for a width
    // is reckoned so already.
    if (qobject_cast<QGridLayout *>(own))
        return own->totalMinimumHeightForWidth(width);
    int height = own->totalHeightForWidth(width);
    const auto *box = qobject_cast<QBoxLayout *>(own);
    if (!box || box->direction() == QBoxLayout::LeftToRight || box->direction() == QBoxLayout::RightToLeft)
        return height;
    // A column's least height for a width reckons its wrapping items at their least, so it is
    // taken as the height the column would like, less what its other items (a spacer among them)
    // can give up. A row keeps the height it would like, which is never too little.
    for (int index = 0; index < box->count(); ++index) {
        const QLayoutItem *item = box->itemAt(index);
        if (!item->hasHeightForWidth())
            height -= item->sizeHint().height() - item->minimumSize().height();
    }
    return height;
}
