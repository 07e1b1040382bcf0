#pragma once
// The firmware update dialog: the user picks the file, presses Update and, when more than one
// device could be updated, chooses one; the dialog loads the file, opens the chosen link in update
// mode and shows the progress and tips the link writes. When the link cannot be opened at once,
// the polling thread ticks every 500 ms and each tick tries again here, on the UI thread.

#include "link/LinkState.h"
#include "link/UpData_Thread.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CButtonRadio;
class CGradientProgressCtrl;
class CGroupBoxEx;
class CMessageTable;
class CTransparentStatic;
class CUpdateLink;
class QComboBox;
class CProgramSettings;
class QLineEdit;
class QPushButton;

class CUpgradeDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 270;
    static constexpr int IDC_FILE = 1882, IDC_BROWSE = 1883, IDC_UPDATE = 1881, IDC_QUIT = 1891;
    static constexpr int IDC_PROGRESS = 1414, IDC_TIP = 1886, IDC_FILE_FRAME = 1889;

    CUpgradeDlg(CUpdateLink &link, QWidget *parent = nullptr);
    ~CUpgradeDlg() override;

    void OnUpdate();
    void OnBrowse();
    void OnUsbItem();
    void OnNetworkItem();
    void OnUsbDevicePicked(int id);
    void StartUsbUpdate(const std::string &path);
    void StartNetworkUpdate();
    void OnPollTick(int tick, bool last);
    void OnPollResult(int opened);
    void OnQuit();
    void FillComPortList();
    // Title, frame and buttons in the UI language (again at each language change).
    void ApplyTexts();

    // Where the firmware folder and file are kept: the view's settings (null: the settings file,
    // read afresh at each choice).
    CProgramSettings *settings = nullptr;
    // The open-file dialog; replaced by tests. Returns the chosen path, or empty on cancel.
    std::function<std::string(const std::string &folder)> openFile;

    // The device popup; replaced by tests. Returns the chosen command, or 0.
    std::function<int(const std::vector<std::pair<int, std::string>> &)> popup;

    QLineEdit *FileEdit() const { return m_file; }
    CGradientProgressCtrl *Progress() const { return m_progress; }
    CTransparentStatic *Tip() const { return m_tip; }
    QPushButton *UpdateButton() const { return m_update; }
    QPushButton *BrowseButton() const { return m_browse; }
    QPushButton *QuitButton() const { return m_quit; }
    QComboBox *ComPorts() const { return m_comPorts; }
    CUpData_Thread &PollThread() { return *m_thread; }
    std::string TipText() const;

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void reject() override;
    void changeEvent(QEvent *e) override;

private:
    void StartUpdate(int linkMode, const std::function<bool()> &open);
    int DefaultPopup(const std::vector<std::pair<int, std::string>> &items);
public:
    // The firmware file from the open-file dialog; false when none of the right kind was chosen.
    // A file of the right kind becomes g_strFirmwareFile, its folder the firmware folder, and both
    // are saved.
    bool ChooseFirmwareFile();

private:
    void SetTip(const std::string &text);

    class TipLink;
    CUpdateLink &m_link;
    CMessageTable *m_table = nullptr;
    std::unique_ptr<CUpData_Thread> m_thread;
    std::unique_ptr<TipLink> m_tipLink;
    QLineEdit *m_file = nullptr;
    QPushButton *m_browse = nullptr;
    QPushButton *m_update = nullptr;
    QPushButton *m_quit = nullptr;
    CGradientProgressCtrl *m_progress = nullptr;
    CTransparentStatic *m_tip = nullptr;
    CGroupBoxEx *m_fileFrame = nullptr;
    QComboBox *m_comPorts = nullptr;
    std::string m_comPort;
    bool m_lastOpened = false;
};
