#pragma once

#include "hartcomm/hartport.h"
#include "ui_finddevicedialog.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class QEvent;
class QProgressDialog;

// The dialog in which the user scans serial ports over a range of HART polling addresses, sees
// every device that answers with its long address, recognised template, tag, descriptor and
// date, and ticks the ones to add. It talks to the lines through a HART link of its own, never
// through the configured ports, and opens a line only while a scan runs.
//
// The scan runs in the GUI thread behind a window-modal progress dialog and lets pending events
// run between exchanges: Cancel is noticed before each address, a dialog that is finished or
// destroyed meanwhile ends the scan, and the line is closed whatever happened.
class FindDeviceDialog : public QDialog, public Ui_FindDeviceDialog
{
    Q_OBJECT

public:
    // The one dialog of the run, made on the first call with that parent; every call refreshes
    // the port list.
    static FindDeviceDialog *instance(QWidget *parent);

    explicit FindDeviceDialog(QWidget *parent = nullptr);
    ~FindDeviceDialog() override;

    // One found-device record per ticked row, in row order: "port", "polling_address" (int),
    // "address" (the 5 address bytes), "template", "tag", "descriptor", "date" (a QDate).
    QList<QVariantMap> userSelection() const;

    void setupPorts();
    void stopFind();

    // The search link, whose timeout properties the response-timeout box sets.
    const HartPort &searchLink() const { return m_hartPort; }

    // HART polling addresses end here; the address byte has no room for more.
    static constexpr int MaxPollingAddress = 63;

public slots:
    void updateStartButton();
    void updateOkButton();

private slots:
    void on_btnStart_clicked();
    void on_btnRefreshPortList_clicked();
    void on_spnResponseTimeout_valueChanged(int value);

protected:
    void changeEvent(QEvent *event) override;

private:
    void findDevices();
    void appendTabWidget(int address, const QString &portName, QVariantMap &identity);
    bool isRowTicked(int row) const;

    HartPort m_hartPort;
    bool m_scanning = false;
    bool m_scanAborted = false;   // the dialog was closed while the scan ran
    QPointer<QProgressDialog> m_progress;   // exists only while a scan runs

    static QPointer<FindDeviceDialog> s_instance;
};
