#pragma once

#include "ui_commandwidget.h"
#include "widgets/stackpage.h"

#include <QByteArray>
#include <QPointer>
#include <QString>

class Device;
class Port;
class QEvent;

// The "Custom" tab of every device editor: sends any HART command number to the edited device,
// with request data built byte by byte from typed bytes, floats, integers and texts, shows the
// answer and its status bytes in hexadecimal, and decodes the answer by hand (one value at an
// offset) or by a layout mask ("b i f 10t6").
//
// The page is not an editor page of its own: the editor hands it the device through
// onDeviceChanged() and switches its send button through onUpdateButtons(). It sends with the
// device's read and write directly, so the device's signals report progress and failures.
class CommandWidget : public StackPage, public Ui_CommandWidget
{
    Q_OBJECT

public:
    // Request buffer limits: the byte, float, integer and text additions stop at 64 bytes (texts
    // at 63), a zero byte from "increase size" at 32.
    static constexpr int MaxBufferSize = 64;
    static constexpr int MaxGrowSize = 32;
    // The largest offset or length a layout mask may name.
    static constexpr int MaxMaskNumber = 255;

    explicit CommandWidget(QWidget *parent = nullptr);

    Device *device() const;
    QByteArray requestBuffer() const { return m_buffer; }
    QByteArray answer() const { return m_answer; }
    bool isCustom() const { return m_custom; }

public slots:
    void onDeviceChanged(Device *device);
    void onUpdateButtons(bool enable);
    void onResetWidget();

private slots:
    void on_cmbCmdContext_currentIndexChanged(int index);
    void on_btnSendCustomCmd_clicked();
    void on_btnPlus_clicked();
    void on_btnMinus_clicked();
    void on_btnAddByte_clicked();
    void on_btnAddFloat_clicked();
    void on_btnAddInt_clicked();
    void on_btnAddText_clicked();
    void on_btnAddLatin1Text_clicked();
    void on_btnGetFloat_clicked();
    void on_btnGetInt_clicked();
    void on_dspnValue_valueChanged(double value);
    void on_btnGetText_clicked();
    void on_btnClearBuffer_clicked();
    void on_txtCmd_selectionChanged();
    void on_txtAnswer_selectionChanged();
    void on_btnParsing_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Selection
    {
        int offset = 0;
        int length = 0;
        bool isEmpty() const { return offset == 0 && length == 0; }
    };

    void fillCommandList();
    void showBuffer();
    void setMaskFieldColor(bool error);
    // Appends the bytes, or puts them in place of the selected bytes.
    void placeBytes(const QByteArray &bytes);
    Port *port() const;
    static Selection selectionOf(const QLineEdit *edit);
    // One token of a layout mask: decodes it at the running position into value, or returns
    // the error text and leaves the position alone.
    QString decodeToken(const QString &token, int &position, QString &value);
    QString decodeField(QChar type, int position, int length, QString &value, int &size);

    QByteArray m_buffer;
    QByteArray m_answer;
    Selection m_liveSelection;
    Selection m_editSelection;
    bool m_custom = false;
    QPointer<Device> m_device;
};
