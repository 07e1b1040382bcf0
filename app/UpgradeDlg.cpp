#include "app/UpgradeDlg.h"

#include "app/LinkController.h"
#include "app/UpdateLink.h"
#include "app/ViewSettings.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/GroupBoxEx.h"
#include "controls/TransparentStatic.h"
#include "link/FirmwareFile.h"
#include "link/SerialPort.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include <mutex>

// The tip as the link writes it from its worker: the text travels to the UI thread by value.
class CUpgradeDlg::TipLink : public ILinkTip {
public:
    explicit TipLink(CTransparentStatic *tip) : m_tip(tip) {}
    void SetText(const std::string &utf8) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_text = utf8;
        }
        QPointer<CTransparentStatic> tip(m_tip);
        RunOnUiThread([tip, utf8] {
            if (tip)
                tip->SetText(QString::fromStdString(utf8));
        });
    }
    std::string Text() const
    {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    CTransparentStatic *m_tip;
    mutable std::mutex m_mutex;
    std::string m_text;
};

CUpgradeDlg::CUpgradeDlg(CUpdateLink &link, QWidget *parent) : QDialog(parent), m_link(link)
{
    // The dialog is left to the system look, which is the console's dark application palette:
    // its light dialog brush would put the dark system controls on a pale ground.
    setAutoFillBackground(true);
    setFixedSize(397, 160);

    m_fileFrame = new CGroupBoxEx(this, IDC_FILE_FRAME, QString());
    m_fileFrame->setGeometry(8, 4, 381, 56);
    m_file = new QLineEdit(this);
    m_file->setGeometry(18, 24, 270, 24);
    SetCtrlId(m_file, IDC_FILE);
    m_browse = new QPushButton(this);
    m_browse->setGeometry(296, 24, 84, 24);
    SetCtrlId(m_browse, IDC_BROWSE);
    m_progress = new CGradientProgressCtrl(this, IDC_PROGRESS);
    m_progress->setGeometry(8, 68, 381, 22);
    m_progress->SetShowPercent(true);
    m_tip = new CTransparentStatic(this, IDC_TIP, SS_CENTER);
    m_tip->setGeometry(8, 94, 381, 22);
    m_tip->SetTextColor(RGB(255, 0, 0));
    m_update = new QPushButton(this);
    m_update->setGeometry(200, 124, 88, 28);
    SetCtrlId(m_update, IDC_UPDATE);
    m_quit = new QPushButton(this);
    m_quit->setGeometry(300, 124, 88, 28);
    SetCtrlId(m_quit, IDC_QUIT);
    // The COM-port choice exists but stays hidden: no update runs over the serial port.
    m_comPorts = new QComboBox(this);
    m_comPorts->hide();
    FillComPortList();

    // Enter on a focused button must not press it either: the keys reach keyPressEvent below.
    for (QPushButton *b : {m_browse, m_update, m_quit})
        b->setAutoDefault(false);
    connect(m_update, &QPushButton::clicked, this, [this] { OnUpdate(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(m_quit, &QPushButton::clicked, this, [this] { OnQuit(); });

    m_table = CMessageTable::Ensure(this);
    m_table->On(WM_UPDATE_POLL_TICK, [this](WPARAM w, LPARAM l) {
        OnPollTick(static_cast<int>(w), l != 0);
        return LRESULT(0);
    });
    m_thread = std::make_unique<CUpData_Thread>(m_table);
    g_bUpdatePolling = 0;

    m_file->setText(QString::fromStdString(g_strFirmwareFile.Get()));
    m_tipLink = std::make_unique<TipLink>(m_tip);
    g_pUpdateTip = m_tipLink.get();
    g_pUpdateBar = m_progress;
    m_link.SetTipTarget([this](const std::string &t) { SetTip(t); });
    m_tip->SetText(QString());
    ApplyTexts();
}

void CUpgradeDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::UpdateTitle));
    m_fileFrame->SetText(QTr(StrId::UpdateFileFrame));
    m_browse->setText(QTr(StrId::UpdateBrowse));
    m_update->setText(QTr(StrId::UpdateStart));
    m_quit->setText(QTr(StrId::Quit));
}

void CUpgradeDlg::changeEvent(QEvent *e)
{
    // The tip keeps the text the update last showed; the next step shows its own.
    if (e->type() == QEvent::LanguageChange)
        ApplyTexts();
    QDialog::changeEvent(e);
}

CUpgradeDlg::~CUpgradeDlg()
{
    m_thread->StopTimer();
    g_bUpdatePolling = 0;
    if (g_pUpdateTip.load() == m_tipLink.get())
        g_pUpdateTip = nullptr;
    if (g_pUpdateBar.load() == m_progress)
        g_pUpdateBar = nullptr;
    m_link.SetTipTarget(nullptr);
}

std::string CUpgradeDlg::TipText() const
{
    return m_tip->GetWindowText().toStdString();
}

void CUpgradeDlg::SetTip(const std::string &text)
{
    m_tipLink->SetText(text);
    m_tip->SetText(QString::fromStdString(text));
}

void CUpgradeDlg::FillComPortList()
{
    std::vector<SerialPortInfo> ports;
    ListComPorts(ports, false);
    m_comPorts->clear();
    for (const auto &p : ports)
        m_comPorts->addItem(QString::fromStdString(p.portName));
    const std::string chosen = ChooseComPort(ports, m_comPort);
    if (ports.empty())
        m_comPorts->addItem(QStringLiteral("NULL"));
    m_comPorts->setCurrentText(QString::fromStdString(chosen));
}

int CUpgradeDlg::DefaultPopup(const std::vector<std::pair<int, std::string>> &items)
{
    QMenu menu(this);
    for (const auto &[id, label] : items)
        menu.addAction(QString::fromStdString(label))->setData(id);
    QAction *chosen = menu.exec(m_update->mapToGlobal(QPoint(0, m_update->height() + 2)));
    return chosen ? chosen->data().toInt() : 0;
}

void CUpgradeDlg::OnUpdate()
{
    g_bHelloPhase = 0;
    if (g_bUpdating.load() || g_bUpdatePolling.load())
        return;
    m_link.CloseLink();
    g_arrUpdatePaths = m_link.FindDevices();
    const int n = static_cast<int>(g_arrUpdatePaths.size());
    const bool reachable = m_link.NetReachable();
    std::vector<std::pair<int, std::string>> items;
    if (n == 0) {
        if (reachable)
            StartNetworkUpdate();
        else
            ShowMessage(Tr(StrId::NoConnection), MB_OK, 2000);
        return;
    }
    if (n == 1 && !reachable) {
        StartUsbUpdate(g_arrUpdatePaths[0]);
        return;
    }
    if (n == 1) {
        items = {{ID_LINK_USB, "USB"}, {ID_LINK_NETWORK, g_strWifiIp.Get()}};
    } else {
        for (int i = 0; i < n && ID_LINK_USB_FIRST + i <= ID_LINK_USB_LAST; ++i)
            items.emplace_back(ID_LINK_USB_FIRST + i, "USB" + std::to_string(i + 1));
        if (reachable)
            items.emplace_back(ID_LINK_NETWORK, g_strWifiIp.Get());
    }
    const int chosen = popup ? popup(items) : DefaultPopup(items);
    if (chosen == ID_LINK_USB)
        OnUsbItem();
    else if (chosen == ID_LINK_NETWORK)
        OnNetworkItem();
    else if (chosen >= ID_LINK_USB_FIRST && chosen <= ID_LINK_USB_LAST)
        OnUsbDevicePicked(chosen);
}

void CUpgradeDlg::OnBrowse()
{
    if (ChooseFirmwareFile())
        m_file->setText(QString::fromStdString(g_strFirmwareFile.Get()));
}

bool CUpgradeDlg::ChooseFirmwareFile()
{
    CProgramSettings fileSettings(nullptr, UserDocumentsFolder);
    CProgramSettings &store = settings != nullptr ? *settings : fileSettings;
    if (settings == nullptr)
        store.LoadDspMcuSettings();
    const std::string folder = store.Folder(FOLDER_FIRMWARE);
    const std::string chosen =
        openFile ? openFile(folder)
                 : QFileDialog::getOpenFileName(this, QString(), QString::fromStdString(folder),
                                                QStringLiteral("*.bin (*.bin)"))
                       .toStdString();
    if (chosen.empty())
        return false;
    // A path of another kind is refused and not stored.
    if (!FirmwareFile::HasFirmwareExtension(chosen))
        return false;
    g_strFirmwareFile = chosen;
    store.SetFolder(FOLDER_FIRMWARE, QFileInfo(QString::fromStdString(chosen)).absolutePath().toStdString());
    store.SaveDspMcuSettings();
    return true;
}

void CUpgradeDlg::OnUsbItem()
{
    if (!g_arrUpdatePaths.empty())
        StartUsbUpdate(g_arrUpdatePaths[0]);
}

void CUpgradeDlg::OnNetworkItem()
{
    StartNetworkUpdate();
}

void CUpgradeDlg::OnUsbDevicePicked(int id)
{
    const int i = id - ID_LINK_USB_FIRST;
    if (i >= 0 && i < static_cast<int>(g_arrUpdatePaths.size()))
        StartUsbUpdate(g_arrUpdatePaths[i]);
}

void CUpgradeDlg::StartUsbUpdate(const std::string &path)
{
    StartUpdate(LINK_USB, [&] { return m_link.OpenUsbForUpdate(path); });
}

void CUpgradeDlg::StartNetworkUpdate()
{
    StartUpdate(LINK_TCP, [&] { return m_link.OpenNetworkForUpdate(); });
}

// Loads the chosen file, closes the running link and opens the update link in `linkMode`. Without
// the device yet, polling for it starts.
void CUpgradeDlg::StartUpdate(int linkMode, const std::function<bool()> &open)
{
    g_bUpdateCancelled = 0;
    g_bUpdatePolling = 0;
    g_strFirmwareFile = m_file->text().toStdString();
    if (!m_link.LoadFirmwareFile())
        return;
    m_link.CloseLink();
    g_nLinkMode = linkMode;
    m_lastOpened = open();
    if (m_lastOpened) {
        m_progress->SetRange(0, m_link.BlockTotal());
        m_progress->SetPos(0);
    } else {
        g_bUpdatePolling = 1;
        m_thread->StartTimer(500);
    }
}

void CUpgradeDlg::OnPollTick(int tick, bool last)
{
    if (!g_bUpdatePolling.load())
        return;
    const bool opened = m_link.StartUpdateLink(last ? 0 : 1);
    (void)tick;
    if (opened || last) {
        m_thread->StopTimer();
        OnPollResult(opened ? 1 : 0);
    }
}

void CUpgradeDlg::OnPollResult(int opened)
{
    if (opened) {
        m_progress->SetRange(0, m_link.BlockTotal());
        m_progress->SetPos(0);
        m_thread->StopTimer();
    } else {
        SetTip(Tr(StrId::UpdateFailed));
    }
    g_bUpdatePolling = 0;
}

void CUpgradeDlg::OnQuit()
{
    if (g_bUpdating.load()) {
        const bool cn = g_bChinese.load() != 0;
        const int answer = ShowMessage(Tr(StrId::AskQuitUpdate, cn), MB_YESNO, cn ? -4 : -5);
        if (answer != IDYES)
            return;
        g_bUpdateCancelled = 1;
        m_link.AbortUpdateLink();
        g_bUpdateCancelled = 0;
        done(QDialog::Rejected);
        return;
    }
    if (g_bUpdatePolling.load()) {
        m_thread->StopTimer();
        g_bUpdatePolling = 0;
        m_link.ForgetUpdateLinkMode();
    }
    done(QDialog::Rejected);
}

void CUpgradeDlg::closeEvent(QCloseEvent *e)
{
    e->ignore();
    OnQuit();
}

void CUpgradeDlg::reject()
{
    OnQuit();
}

void CUpgradeDlg::keyPressEvent(QKeyEvent *e)
{
    // Enter and Escape neither press a button nor close the dialog.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
        setFocus();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
