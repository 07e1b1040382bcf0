#pragma once
// The input page: how the device's six music inputs are used, and the equaliser of the selected
// one. The left column chooses the input (six input buttons), the main source (the Mixer button
// and its menu), the Hi.Level mode (one-way or two-way) and the AUX mode (three stereo AUX
// inputs, a four-channel AUX1 with a stereo AUX2, or one six-channel AUX1). The right part shows
// the selected input's response graph, its first fifteen equaliser bands as strips (frequency,
// Q and gain edits, a gain slider and a band toggle), the PEQ/GEQ switch, all-bypass and reset,
// the name of the selected input, and the input-connector picture below them.
//
// Every choice of the left column goes to the device at once as a write of the input block
// (SYS_INPUT); band edits change the input's record, whose change marks the link's worker
// sends; all-bypass and reset send the whole input block through the channel-send service.
//
// The selection lives in the globals the whole program shares: g_nSelInput, g_nInputGroup, the
// input block bytes (g_nInputSource, g_nInputGroupByte, g_nInputLayout, g_nInputOption),
// g_ModeItemTable and g_bAltInputMode. The page reads them whenever it refreshes.
//
// Threads: UI thread only; the page never takes g_csLink.

#include "services/PageRegistry.h"
#include "platform/WinCompat.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>

class CBitButton;
class CBitmapSlider;
class CCFStatic;
class CFilter;
class CFontStatic;
class CKTV_Data;
class CMessageTable;
class CMusic_InData;
class CNumEdit;
class CNumSpin;
class CXPButton;
class IChannelSends;
class IDeviceSync;
class IInputConnectors;
class IMessageBoxService;
class QMenu;
enum class StrId : std::uint16_t;

class CInPutDlg : public QWidget, public IInputPage {
    Q_OBJECT
public:
    static constexpr int IDD = 382;
    static constexpr int kWidth = 1248, kHeight = 652;
    static constexpr int kBands = 31;
    static constexpr int kShownBands = 15;
    static constexpr int kInputs = 6;

    // Control ids (band i is base + i, input n is IDC_INPUT + n).
    static constexpr int IDC_HILEVEL_1WAY = 3980, IDC_HILEVEL_2WAY = 3981;
    static constexpr int IDC_GEQ_LABEL = 3881;
    static constexpr int IDC_AUX_MODE = 3956;  // 3956, 3957, 3958: modes 0, 1, 2
    static constexpr int IDC_EQ_MODE = 3940, IDC_EQ_RESET = 3951, IDC_ALL_BYPASS = 3950;
    static constexpr int IDC_INPUT = 3960;
    static constexpr int IDC_SOURCE = 3967;
    static constexpr int IDC_TITLE = 3953;
    static constexpr int IDC_GRAPH = 3952;
    static constexpr int IDC_BAND_LABEL = 3500, IDC_BAND_FREQ = 3550, IDC_BAND_Q = 3600, IDC_BAND_GAIN = 3650;
    static constexpr int IDC_BAND_FREQ_SPIN = 3700, IDC_BAND_Q_SPIN = 3750, IDC_BAND_GAIN_SPIN = 3800;
    static constexpr int IDC_BAND_SLIDER = 3850, IDC_BAND_WORK = 3900;
    // The main-source menu's items: source s is 174 + s (6: OFF).
    static constexpr int ID_SOURCE_FIRST = 174, ID_SOURCE_LAST = 180;
    // Where the connector picture stands on the page.
    static constexpr int kConnectorX = 221, kConnectorY = 462;

    CInPutDlg(IChannelSends &sends, IDeviceSync &sync, IMessageBoxService &boxes, QWidget *parent = nullptr);
    ~CInPutDlg() override;

    // ---- binding and what other windows call ----
    // The record tree (not owned); the graph shows its music inputs. Call before the first refresh.
    void SetKTVData(CKTV_Data *root);
    // The connector picture (a child the page places at kConnectorX, kConnectorY and keeps
    // informed); it reports clicks with WM_INMODE_SELECT. Null detaches it.
    void AttachConnectorPicture(QWidget *picture, IInputConnectors *connectors);
    // Re-reads the selected input and shows it: bypass-all, EQ mode and layout, bands 0..14,
    // the title, the main-source button and the graph.
    void RefreshInput();
    // The selected input everywhere on the page: title, AUX mode, input buttons, connectors,
    // then RefreshInput. The opener calls it once the page is bound.
    void ShowSelectedInput();
    // IInputPage.
    void RefreshSourceButton() override;
    void ApplyInputSelection() override;
    void ShowDeviceInput() override;
    // Shows another input without sending anything.
    void SelectInput(int input);
    // AUX mode and input together, sent as one input block.
    void SetInputAndGroup(int mode, int input);
    // The main-source button, the Hi.Level mode buttons, the layout and the input buttons again.
    void ResetModeControls();
    // Every image that depends on the language, and the texts.
    void ApplyLanguageSkin();

    // ---- the left column's choices (each queues the input block while a link is open) ----
    void OnInputButton(int n);
    void OnInModeSelect(int input);
    void SetAuxMode(int mode);
    void SetHiLevelMode(int mode);
    // Opens the main-source menu under its button.
    void OnMixerButton();
    void SetMixerSource(int source);
    // Whether item k (0..6) of the main-source menu can be chosen now.
    static bool SourceItemEnabled(int k);
    // The main-source menu as OnMixerButton last filled it (null before).
    QMenu *SourceMenu() const { return m_menuSource; }

    // ---- equaliser (InPutDlgEq.cpp) ----
    void OnBandFreq(int i);
    void OnBandQ(int i);
    void OnBandGain(int i);
    void OnBandSlider(int i);
    void OnBandWork(int i);
    void OnBypassAll();
    void OnResetEq();
    void OnEqModeSwitch();
    // The graph changed band i of the shown input: the strip follows.
    void SelectBand(int i);
    void FocusBand(int i);
    void FocusFirstBand();
    LRESULT OnNumEditKey(int id, int key);
    LRESULT OnNumEditEnter(int id);

    // ---- the page's controls, for tests ----
    CBitButton *InputButton(int n) const { return n >= 0 && n < kInputs ? m_btnInput[std::size_t(n)] : nullptr; }
    CBitButton *AuxModeButton(int m) const { return m >= 0 && m < 3 ? m_btnAuxMode[std::size_t(m)] : nullptr; }
    CBitButton *HiLevelButton(int m) const { return m == 0 ? m_btnHiLevel1 : m == 1 ? m_btnHiLevel2 : nullptr; }
    CBitButton *SourceButton() const { return m_btnSource; }
    CBitButton *TitlePicture() const { return m_btnTitle; }
    CBitButton *GeqLabel() const { return m_btnGeqLabel; }
    CBitButton *EqModeButton() const { return m_btnEqMode; }
    CBitButton *AllBypassButton() const { return m_btnAllBypass; }
    CBitButton *ResetButton() const { return m_btnReset; }
    CNumEdit *FreqEdit(int i) const { return m_editFreq[std::size_t(i)]; }
    CNumEdit *QEdit(int i) const { return m_editQ[std::size_t(i)]; }
    CNumEdit *GainEdit(int i) const { return m_editGain[std::size_t(i)]; }
    CNumSpin *GainSpin(int i) const { return m_spinGain[std::size_t(i)]; }
    CBitmapSlider *BandSlider(int i) const { return m_slider[std::size_t(i)]; }
    CXPButton *WorkButton(int i) const { return m_btnWork[std::size_t(i)]; }
    CFontStatic *BandLabel(int i) const { return m_label[std::size_t(i)]; }
    CFontStatic *HighlightedLabel() const { return m_pHighlightLabel; }
    CNumEdit *HighlightedEdit() const { return m_pHighlightEdit; }
    CCFStatic *Graph() const { return m_graph; }
    QWidget *ConnectorPicture() const { return m_picture; }
    CMessageTable *Messages() const { return m_table; }
    // The record of the input whose bands the strips show (g_nSelInput until the first refresh),
    // or null.
    CMusic_InData *ShownInput() const;
    QWidget *Control(int id) const;
    // Where input slot k (0..5) of the left column is.
    static QRect InputSlot(int k);
    static QRect GraphRect();

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void InitControls();
    void InitBandStrips();
    void InstallMessageMap();
    LRESULT OnCommand(int id);
    void ApplyLayoutVariant();
    void ShowInputTitle();
    void UncheckAuxModeButtons();
    void UncheckInputButton(int input);
    // Posts the refresh of the input selected now; leaves the alternate input mode.
    void PostInputRefresh();
    LRESULT OnInputRefresh(int altFlag, int input);
    void LeaveAltInputMode();
    void ApplyAltInputMode();
    void ShowSourceImages();
    void SendInputBlock();
    // The input buttons' images for the alternate input mode's current state.
    void SetInputButtonImages();

    // Equaliser (InPutDlgEq.cpp).
    bool OnEqCommand(int id);
    void LoadStrip(int i, bool attach);
    void CommitTypedBandValues();
    void ShowBandWork(bool neutral, int i);
    void RefreshBypassAll();
    void ApplyEqModeLayout(int mode);
    void HighlightLabel(int i, bool on);
    void HighlightEdit(int i, int kind, bool on);
    void ClearHighlights();
    void RedrawGraph(int item);
    void AfterBandEdit(int i, int kind);
    void ApplyBandGain(int i, int code);
    bool AskYesNo(StrId text);
    void MoveFocus(int id, bool right);
    void FocusField(int id);
    bool HandlePageKey(int key);
    LRESULT OnSliderPos(int id, bool changed);
    bool GeqShown() const;

    IChannelSends &m_sends;
    IDeviceSync &m_sync;
    IMessageBoxService &m_boxes;
    CMessageTable *m_table = nullptr;
    CKTV_Data *m_root = nullptr;

    CBitButton *m_btnHiLevel1 = nullptr, *m_btnHiLevel2 = nullptr;
    CBitButton *m_btnGeqLabel = nullptr;
    std::array<CBitButton *, 3> m_btnAuxMode{};
    CBitButton *m_btnEqMode = nullptr, *m_btnReset = nullptr, *m_btnAllBypass = nullptr;
    std::array<CBitButton *, kInputs> m_btnInput{};
    CBitButton *m_btnSource = nullptr;
    CBitButton *m_btnTitle = nullptr;
    CCFStatic *m_graph = nullptr;
    QMenu *m_menuSource = nullptr;
    QPointer<QWidget> m_picture;
    IInputConnectors *m_connectors = nullptr;

    std::array<CFontStatic *, kBands> m_label{};
    std::array<CNumEdit *, kBands> m_editFreq{}, m_editQ{}, m_editGain{};
    std::array<CNumSpin *, kBands> m_spinFreq{}, m_spinQ{}, m_spinGain{};
    std::array<CBitmapSlider *, kBands> m_slider{};
    std::array<CXPButton *, kBands> m_btnWork{};
    // Places captured at set-up: frequency edits, gain edits and sliders in PEQ, sliders in GEQ.
    std::array<QRect, kBands> m_rcFreq{}, m_rcPeqGain{}, m_rcPeqSlider{}, m_rcGeqSlider{};

    int m_nAllBypass = 0;
    int m_nStripInput = -1;  // the input the band strips show, -1 before the first refresh
    int m_nEqMode = 0;
    CFontStatic *m_pHighlightLabel = nullptr;
    CNumEdit *m_pHighlightEdit = nullptr;
};
