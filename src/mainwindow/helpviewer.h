#pragma once

#include <QDialog>
#include <QString>

class QEvent;
class QGridLayout;
class QPlainTextEdit;
class QPushButton;

// The user guide, a plain text in code page 1251 embedded as ":/doc/tenvara.txt". It is the
// editor page of the tree's top item (without a Close button) and the Help dialog (with one).
class HelpViewer : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *GuideFile = ":/doc/tenvara.txt";

    HelpViewer(QWidget *parent, bool closable);
    ~HelpViewer() override;

    // Replaces the shown text with the file's text, one paragraph per line, shown from the top.
    void loadFile(const QString &fileName);

    QPlainTextEdit *textView() const;
    QPushButton *closeButton() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Form
    {
        QGridLayout *gridLayout = nullptr;
        QPlainTextEdit *plainTextEdit = nullptr;
        QPushButton *closeButton = nullptr;
    };

    void setupForm();
    void retranslateForm();

    Form *ui;
};
