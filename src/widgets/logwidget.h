#pragma once

#include "widgets/stackpage.h"

#include <QString>

#include <memory>

class QEvent;

namespace Ui {
class LogWidget;
}

// The pane that shows a device's HART traffic as text lines: it keeps at most a chosen number
// of lines, finds a text upwards or downwards, clears the log and saves it to a file.
class LogWidget : public StackPage
{
    Q_OBJECT

public:
    explicit LogWidget(QWidget *parent);
    ~LogWidget() override;

    virtual void initView();
    // Clamped to the range of the line spin box (5000..99999).
    void setLinesLimit(int lines);

public slots:
    // The number is not used; it keeps the signature of the editors' log signal.
    void appendLogMessage(int, const QString &message);

    void on_btnClear_clicked();
    void on_btnSearchDown_clicked();
    void on_btnSearchUp_clicked();
    void on_txtSearch_textChanged(const QString &text);
    void on_spnLines_valueChanged(int lines);
    void on_btnSaveAs_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void reportSaveFailure(const QString &reason);

    // The form stays out of this header, so that users of the pane need not see its widgets.
    std::unique_ptr<Ui::LogWidget> ui;
    int m_linesLimit = 5000;
};
