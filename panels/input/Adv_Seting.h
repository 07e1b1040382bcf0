#pragma once
// The advanced settings dialog: the mixer's main source and its Hi.Level mixing values (input
// block bytes 5..7), the music group delay and noise threshold of system block 5, the network
// address and port of the device's Wi-Fi module with the module's factory reset, each output's
// limiter with its transfer curve and a list that shows the link groups, and whether the output
// page also draws the equaliser curve. Its values are the globals and the records, so closing it
// keeps every change. While it exists it is g_pAdvSetingDlg, through which the main view reloads
// it after a preset read, enables its device button and shows the network settings again.
//
// Apply checks the address (a dotted IPv4 address) and the port (1..65535): bad input gives a
// message and changes nothing; good input becomes the link's address and port at its next
// network connection and is saved in the settings (group Network).

#include "services/PageRegistry.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>

class CBitButton;
class CCOM_EXT_LIMStatic;
class CFontStatic;
class CKTV_Data;
class CKTV_OutData;
class CListCtrlCl;
class CNumEdit;
class CNumSpin;
class IDeviceSync;
class IMessageBoxService;
class QLineEdit;
class QMenu;

class CAdv_Seting : public QDialog, public IAdvSettingsDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 675;
    static constexpr int kWidth = 700, kHeight = 334;
    static constexpr int kBackgroundEn = 788, kBackgroundCn = 789;
    // Controls.
    static constexpr int IDC_THRESHOLD = 2731, IDC_THRESHOLD_SPIN = 2732;
    static constexpr int IDC_ATTEN = 2791, IDC_ATTEN_SPIN = 2793;
    static constexpr int IDC_RELEASE = 2792, IDC_RELEASE_SPIN = 2794;
    static constexpr int IDC_GROUP_DELAY = 2734, IDC_GROUP_DELAY_SPIN = 2735;
    static constexpr int IDC_NOISE = 2765, IDC_NOISE_SPIN = 2060;
    static constexpr int IDC_PORT = 2741, IDC_ADDRESS = 2739, IDC_APPLY = 2743, IDC_LOAD_DEFAULT = 2790;
    static constexpr int IDC_CURVE_SWITCH = 2797, IDC_SOURCE = 2729, IDC_QUIT = 2, IDC_DESCRIPTION = 2805;
    static constexpr int IDC_LIST = 2757, IDC_CURVE = 2764;
    static constexpr int IDC_LIM_THRESHOLD = 2758, IDC_LIM_THRESHOLD_SPIN = 2761;
    static constexpr int IDC_LIM_LEVEL = 2778, IDC_LIM_LEVEL_SPIN = 2780;
    static constexpr int IDC_LIM_ATTACK = 2759, IDC_LIM_ATTACK_SPIN = 2762;
    static constexpr int IDC_LIM_RELEASE = 2760, IDC_LIM_RELEASE_SPIN = 2763;
    static constexpr int kMenuFirst = 174;  // source menu items 174..180 are sources 0..6
    static constexpr std::array<int, 10> kNavOrder{2731, 2791, 2792, 2734, 2765, 2741, 2759, 2760, 2758, 2778};

    CAdv_Seting(IDeviceSync &sync, CPageRegistry &pages, IMessageBoxService &boxes, QWidget *parent = nullptr);
    ~CAdv_Seting() override;

    // Set by the owner before DoModal: the record tree whose outputs the limiter edits, and what
    // saves the curve-display setting and redraws the output curve.
    CKTV_Data *m_pRoot = nullptr;
    std::function<void()> m_saveLineSetting;

    int DoModal();
    // The set-up DoModal runs, for tests and pictures that show the dialog without its loop.
    void InitDialog();

    // ---- what the main view calls through g_pAdvSetingDlg ----
    void ReloadAll() override;
    void EnableDeviceButton(bool on) override;
    void ShowNetworkSettings() override;

    // ---- handlers ----
    void OnCommand(int id);
    // Main source s (0..6) from the source menu.
    void OnSourcePicked(int s);
    // Apply: true when the address and port were taken.
    bool OnApply();
    void OnPortEdited();
    void OnPortFocusLost();
    void OnAddressEdited();
    void OnNavigationKey(int id, int key);
    // The limiter panel: row a (−1: the first row afresh) becomes the selected output.
    void SelectRow(int a);
    void OnListClick(int row);
    void FillSpeakerTypes();
    void ResetMarks();

    // ---- for tests and pictures ----
    CNumEdit *Edit(int id) const;
    CNumSpin *Spin(int id) const;
    QLineEdit *AddressEdit() const { return m_editAddress; }
    QLineEdit *PortEdit() const { return m_editPort; }
    CBitButton *Button(int id) const;
    CListCtrlCl *List() const { return m_list; }
    CCOM_EXT_LIMStatic *Curve() const { return m_curve; }
    QMenu *SourceMenu() const { return m_menu; }
    int SelectedRow() const { return m_nSelRow; }
    int PortValue() const { return m_nPort; }

    static void RegisterSkins();

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    struct ValueField;
    void MakeControls();
    void SetupEdit(int editId, int spinId, int min, int max, double scale, double offset, int type,
                   const char *unit, int maxChars);
    void ApplyTexts();
    void ApplySkins();
    void SetSourceSkin();
    void LoadValues();
    void OpenSourceMenu();
    void MarkRow(int row, bool selected, bool linked);
    bool Linked(int row, int to) const;
    void FocusNav(int index);

    IDeviceSync &m_sync;
    CPageRegistry &m_pages;
    IMessageBoxService &m_boxes;
    std::array<CNumEdit *, 9> m_edits{};
    std::array<CNumSpin *, 9> m_spins{};
    QLineEdit *m_editAddress = nullptr;
    QLineEdit *m_editPort = nullptr;
    CBitButton *m_btnApply = nullptr, *m_btnLoadDefault = nullptr, *m_btnQuit = nullptr;
    CBitButton *m_btnCurveSwitch = nullptr, *m_btnSource = nullptr;
    CFontStatic *m_description = nullptr;
    CListCtrlCl *m_list = nullptr;
    CCOM_EXT_LIMStatic *m_curve = nullptr;
    QMenu *m_menu = nullptr;
    CKTV_OutData *m_pOut = nullptr;
    int m_nPort = 10;
    int m_nSelRow = 0;
    int m_nLastNoise = 0;
};
