#pragma once
// The connection dialog: the user chooses the transport (USB, Wi-Fi or a serial port) and the
// port. It is the one place that sets link mode 3 (serial).

#include <QDialog>

#include <atomic>
#include <string>

class CButtonRadio;
class QComboBox;
class QPushButton;

// Set when the dialog confirmed the link mode that was already current.
extern std::atomic<int> g_bLinkModeUnchanged;

class CConnectDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 144;
    static constexpr int IDC_USB = 1798, IDC_WIFI = 1799, IDC_COM = 1888, IDC_PORTS = 1896;

    explicit CConnectDlg(QWidget *parent = nullptr);

    void OnUsbRadio();
    void OnWifiRadio();
    void OnComRadio();
    void OnPortSelected();
    void OnOK();
    void FillPortList();
    // Title, choices and button in the UI language (again at each language change).
    void ApplyTexts();
    std::string GetComPort() const { return m_comPort; }
    int Selected() const { return m_selected; }

    CButtonRadio *UsbRadio() const { return m_usb; }
    CButtonRadio *WifiRadio() const { return m_wifi; }
    CButtonRadio *ComRadio() const { return m_com; }
    QComboBox *Ports() const { return m_ports; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void ReadControls();

    CButtonRadio *m_usb = nullptr;
    CButtonRadio *m_wifi = nullptr;
    CButtonRadio *m_com = nullptr;
    QComboBox *m_ports = nullptr;
    QPushButton *m_link = nullptr;
    int m_selected = 0;
    std::string m_comPort;
};
