#pragma once

#include <QLabel>

// A one-line label for a text of any length, such as a file name with its folder: it keeps to
// its line and to the width its layout gives it, shows what does not fit as an ellipsis in the
// middle, and shows the whole text as its tool tip. text() is the whole text.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownText() const;
};
