#pragma once

#include "widgets/stackpage.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class Port;
class QEvent;
class ServerItem;
class Ui_RTUPortEditor;

// The editor page of a serial port: the serial device the port uses, the fixed line settings,
// the HART link's timeouts and initial preamble count, closing the line after every device
// operation, and a check that the line opens. Edits go straight into the port and its HART
// link and are announced with changed().
class RTUPortEditor : public StackPage
{
    Q_OBJECT

public:
    using PortNamesSource = std::function<QStringList()>;

    explicit RTUPortEditor(QWidget *parent = nullptr);
    ~RTUPortEditor() override;

    // Binds the page to a port (other items are ignored) and shows its settings.
    void setItem(ServerItem *item);
    // The check and refresh buttons follow the port's polling state.
    void updateButtons();
    Port *port() const;

    // Where the list of serial devices comes from: the serial ports the system lists, unless a
    // caller hands its own (a pseudo-terminal, for instance, is never listed).
    void setPortNamesSource(PortNamesSource source);

signals:
    void changed();

public slots:
    void update_serials();

private slots:
    void on_portChoiceComboBox_currentIndexChanged(int index);
    void on_baudrateComboBox_currentIndexChanged(int index);
    void on_databitsComboBox_currentIndexChanged(int index);
    void on_parityComboBox_currentIndexChanged(int index);
    void on_stopbitsComboBox_currentIndexChanged(int index);
    void on_b_check_clicked();
    void on_spnRequestTimeout_valueChanged(int value);
    void on_spnResponseTimeout_valueChanged(int value);
    void on_spnByteTimeout_valueChanged(int value);
    void on_spnStartPreamblesCount_valueChanged(int value);
    void on_chkTransactionClosePort_stateChanged(int state);
    void on_btnRefresh_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void chooseSerial(const QString &name);
    void selectSerialOfPort();
    void showLineSettings();
    void showLinkSettings();
    void storeLineSetting(const char *property, const QVariant &value);
    void storeTimeout(const char *property, int value, int defaultValue);

    Ui_RTUPortEditor *ui;
    QPointer<Port> m_port;
    PortNamesSource m_portNames;
};
