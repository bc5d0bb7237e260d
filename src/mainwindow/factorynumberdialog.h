#pragma once

#include "ui_factorynumberdialog.h"

#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QString>

class Device;
class QEvent;
class UniBaseInput;

// Writes a new identity into one of the maker's devices: manufacturer code, device type code and
// 3-byte factory number (the device ID of its long address), with the factory command 253 behind
// its access code, then identifies the device again and reports success only when it answers
// with the written identity. The main window reads written() after the dialog has closed.
class FactoryNumberDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int FactoryCodeCommand = 253;

    FactoryNumberDialog(QWidget *parent, Device *device);

    // Whether the last write was verified by the device's new identity.
    bool written() const { return m_written; }

private slots:
    void on_btnSave_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    // The command's request data, or an empty array after telling the user which field is wrong.
    QByteArray buildRequest();
    bool readField(const UniBaseInput *field, quint32 maximum, const QString &refusal, quint32 &value);
    bool writeAndVerify(const QByteArray &request);
    QString responseText() const;
    void fail(const QString &text);

    Ui_FactoryNumberDialog ui;
    QPointer<Device> m_device;
    bool m_written = false;
};
