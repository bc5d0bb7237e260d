#pragma once

#include "editor/devicewidget.h"
#include "model/device.h"
#include "ui_commonwidget.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

class QEvent;

// The "Common" tab of every device editor: the user identifies an instrument by polling
// address, tag, long tag or the find-device command, sees its long address and command-0
// identity, reads and writes its tag, descriptor, date, long tag, message, final assembly
// number, response preambles, damping time and polling address, resets it, runs its self test
// and sets its write protection. The identification decides whether the device buttons of the
// whole editor are enabled: the identified device must suit the editor's template.
class CommonWidget : public DeviceWidget
{
    Q_OBJECT

public:
    // Polling addresses end here: 64 and more reach the device at the address less 64.
    static constexpr int MaxPollingAddress = Device::MaxPollingAddress;
    // The final assembly number travels in three bytes.
    static constexpr uint MaxFinalAssemblyNumber = 0xFFFFFF;
    static constexpr int DefaultSelfTestWaitLimitMs = 60000;

    CommonWidget(DeviceWidget *parentPage, bool showSelfTest);
    ~CommonWidget() override;

    void showDeviceInfoInFields() override;

    // Manufacturer and device type code the editor's template expects; 0 expects nothing.
    int expectedManufacturerCode = 0;
    int expectedDeviceTypeCode = 0;

    // How long the self test waits for a device that answers busy.
    void setSelfTestWaitLimit(int milliseconds) { m_selfTestWaitLimitMs = milliseconds; }

signals:
    void appendDeviceError(const QString &text);

public slots:
    void onUpdateButtons(bool enabled);
    void onSerialNameChanged();
    void onDeviceChanged(Device *device);
    void onStartPeriod(bool enabled);
    void onAppendDeviceStatus(const QString &, const QByteArray &status);

    void on_cmbPorts_currentIndexChanged(int);
    void on_spnPollingAddress_valueChanged(int value);
    void on_btnCheck_clicked();
    void on_btnCheckByTag_clicked();
    void on_btnCheckByLongTag_clicked();
    void on_btnFindDeviceBy73_clicked();

    void on_btnReset_clicked();
    void on_btnSelfTest_clicked();
    void on_btnSavePreamblesCount_clicked();
    void on_btnSaveDampingTime_clicked();
    void on_txtTag_textChanged(const QString &text);
    void on_txtDesc_textChanged(const QString &text);
    void on_btnSaveTagDescDate_clicked();
    void on_btnReadLongTag_clicked();
    void on_btnSaveLongTag_clicked();
    void on_txtMessage_textChanged(const QString &text);
    void on_btnReadSaveMessage_clicked();
    void on_btnSaveAssemblyNumber_clicked();
    void on_txtAssemlblyNumber_textChanged(const QString &text);
    void on_btnSavePollingAddress_clicked();
    void on_chkWriteProtection_stateChanged(int state);

protected:
    void changeEvent(QEvent *event) override;

private:
    using Binding = QPair<QString, QWidget *>;

    // Identification and search
    void checkDevice(const QString &tag, const QString &longTag);
    bool identifyDevice(const QString &tag);
    void showKeptIdentity(const QString &tag, const QString &longTag);
    bool readIdentifiedDevice(const QString &tag);
    bool acceptIdentity();
    void searchDevice();
    void showReadPollingAddress();
    void showIdentification(bool clear);
    QString manufacturerText() const;
    bool checkDeviceTemplate();
    void clearIdentification(bool clearTag, bool clearLongTag);
    void setDeviceButtons(bool enabled);
    void showPollingAddress();
    void showPortName();

    // Writes
    bool confirmWrite(const QString &what);
    void readItem(const QString &what, int command, const QList<Binding> &bindings);
    void writeItem(const QString &what, int command, const QList<Binding> &bindings,
                   const std::function<void()> &storeValues);
    void refuseInput(const QString &what, const QString &reason);
    void waitForSelfTest();
    bool deviceAnswersBusy() const;
    void waitRepainting(int milliseconds);
    void setWriteProtection();
    void readWriteProtection();
    void setWriteProtectionBox(bool ticked);
    static QString readOrSaveCaption(bool read);

    QList<QWidget *> deviceButtons() const;
    QList<QWidget *> pollingSensitiveControls() const;

    Ui::CommonWidget ui;
    int m_selfTestWaitLimitMs = DefaultSelfTestWaitLimitMs;
};
