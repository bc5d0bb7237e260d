#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

class Device;
class DeviceWidget;
class QEvent;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QVBoxLayout;

// The one-line strip under a device editor's tabs: the status bytes of the device's last
// answer, coloured by their meaning; the progress of the running operation; and its outcome,
// the device's progress messages and its errors. A failed operation whose device counted errors
// also gets a critical box with the device's error text.
//
// Operations run synchronously in the GUI thread, so the strip lets pending events run for up
// to 100 ms whenever it changes, to repaint. That may happen inside a HART transaction (the
// device reports its log lines from there); user input is held back meanwhile, so that no click
// can start a second transaction that would wait for ever on the line.
class StatusWidget : public QWidget
{
    Q_OBJECT

public:
    // The page is the parent and the sender of the operation signals.
    explicit StatusWidget(DeviceWidget *page);

    // The form, built by the constructor.
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout_19 = nullptr;
    QLabel *lbStatus = nullptr;
    QProgressBar *progressBar = nullptr;
    QLabel *lbError = nullptr;

public slots:
    void onDeviceChanged(Device *device);
    void onInitProgressBar(const QString &title, int steps);
    void onNextStep();
    void onShowFinalMessage(int reached);
    void onShowLogMessage(int, const QString &line);
    void onAppendDeviceError(const QString &text);
    void onAppendDeviceStatus(const QString &, const QByteArray &status);

protected:
    void changeEvent(QEvent *event) override;

private:
    void setupForm();
    void retranslateForm();
    void showFailure();
    static void repaintNow();

    bool m_running = false;
    Device *m_device = nullptr;   // not owned
    QString m_title;
};
