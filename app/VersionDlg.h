#pragma once
// The version dialog of the Options menu's About command: the brand logo, the device's version
// (once a device has answered), the program's version and a Quit button, in the UI language.

#include <QDialog>

#include <string>
#include <string_view>

class CHyLink;
class CTransparentStatic;
class QLabel;
class QPushButton;

// The device version as the dialog shows it, from the device's version reply: at most its first
// 11 bytes up to a zero byte, blanks trimmed at both ends, read as GBK, control characters shown as
// '?'; then "MPYelq-" followed by its last six characters (a shorter text whole). Empty when the
// reply is empty or blank.
std::string DeviceVersionText(std::string_view reply);

class CCVersionDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 269;
    static constexpr int IDC_LOGO = 2065, IDC_WEB_LINK = 1895, IDC_TEXT_LINE = 1894, IDC_HELP = 8802;
    static constexpr int IDC_SOFTWARE_VERSION = 1875, IDC_DEVICE_VERSION = 1877, IDC_SPARE = 1876;
    static constexpr int IDC_CLOSE = 1874;

    explicit CCVersionDlg(QWidget *parent = nullptr);

    int DoModal();
    void InitDialog();

    CTransparentStatic *DeviceVersion() const { return m_lblDeviceVersion; }
    CTransparentStatic *SoftwareVersion() const { return m_lblSoftwareVersion; }
    QPushButton *CloseButton() const { return m_btnClose; }
    QPushButton *HelpButton() const { return m_btnHelp; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    QLabel *m_picture;
    CHyLink *m_webLink;
    CTransparentStatic *m_lblText;
    QPushButton *m_btnHelp;
    CTransparentStatic *m_lblSoftwareVersion;
    CTransparentStatic *m_lblDeviceVersion;
    CTransparentStatic *m_lblSpare;
    QPushButton *m_btnClose;
    bool m_bInitialised = false;
};
