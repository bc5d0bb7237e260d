#pragma once

#include <QValidator>

class QWidget;

// Validator of the tag, descriptor and message fields, whose texts travel to a device as HART
// packed ASCII. It upper-cases what is typed, refuses every character packed ASCII cannot carry
// and shows its verdict as the field's background: white when accepted, magenta when refused.
class SmallSymbolValidator : public QValidator
{
    Q_OBJECT

public:
    // The widget is the edited field; it becomes the validator's parent and owner.
    explicit SmallSymbolValidator(QWidget *widget);

    State validate(QString &input, int &pos) const override;

private:
    QWidget *m_widget;
};
