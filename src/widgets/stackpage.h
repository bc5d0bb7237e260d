#pragma once

#include <QWidget>

// A page of a stack: a stacked widget's, or a tab widget's. Its height for a width is the least
// height its layout can lay its controls out in at that width, and none while the stack hides it.
//
// Qt's stacks ask every page for its height for a width, hidden ones too, and take the largest;
// and a layout's height for a width is the height it would like, with room for its spacers. A
// window scrolling the stack would scroll over that blank room, or over a hidden page's height.
class StackPage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    int heightForWidth(int width) const override;
};
