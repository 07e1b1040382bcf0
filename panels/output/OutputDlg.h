#pragma once
// The output page: what the user edits. One of the eight outputs is selected (g_nSelOutput) and
// shown in the response graph, the 31 band rows and the crossover column; the strips along the
// bottom show gain, mute, phase, delay and routing of every output at once, the master volume
// strip and the delay-unit selector sit at the left, the curve overlay selector at the right.
//
// Every edit follows one pattern: read the value from the control, call the selected output's
// record setter (which marks the change for the link's worker), repeat it on the output's link
// group and bridged partner, redraw the graph item, and set g_ChannelModified of the output. The
// page builds no frame itself; the few operations that queue frames at once go through the
// channel-send service.
//
// Threads: UI thread only. The page reads and writes the records and the link tables that the
// worker reads (atomics); image bytes are read under g_csImage. It never takes g_csLink.

#include "services/PageRegistry.h"
#include "panels/output/OutputMessages.h"
#include "platform/WinCompat.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class CBitButton;
class CBTLRouteDlg;
class CBtnPng;
class CCFStatic;
class CChangnal_Line;
class CGainDlg;
class COutRoute_Dlg;
class CComBoxBtn;
class CDELAC;
class CFilter;
class CFontStatic;
class CKTV_Data;
class CKTV_OutData;
class CMessageTable;
class CNumEdit;
class CNumSpin;
class CBitmapSlider;
class CXPButton;
class IChannelSends;
class IDeviceSync;
class IMessageBoxService;
class IMessageTarget;
enum class StrId : std::uint16_t;

class COutputDlg : public QWidget, public IOutputPage {
    Q_OBJECT
public:
    static constexpr int IDD = 136;
    static constexpr int kWidth = 1200, kHeight = 664;
    static constexpr int kBands = 31;
    static constexpr int kOutputs = 8;
    // Graph items beyond the bands.
    static constexpr int kItemHighPass = 31, kItemLowPass = 32;

    // Control ids (band i is base + i).
    static constexpr int IDC_GRAPH = 4000;
    static constexpr int IDC_BAND_FREQ = 5200, IDC_BAND_FREQ_SPIN = 5240;
    static constexpr int IDC_BAND_Q = 4500, IDC_BAND_Q_SPIN = 4540;
    static constexpr int IDC_BAND_GAIN = 5000, IDC_BAND_GAIN_SPIN = 5040;
    static constexpr int IDC_BAND_SLIDER = 5100, IDC_BAND_LABEL = 5280, IDC_BAND_BYPASS = 5320;
    static constexpr int IDC_EQ_MODE = 5686, IDC_ALL_BYPASS = 1976, IDC_EQ_RESET = 5687;
    static constexpr int IDC_HPF_FAMILY = 1010, IDC_HPF_SLOPE = 1012, IDC_LPF_FAMILY = 1011, IDC_LPF_SLOPE = 1013;
    static constexpr int IDC_HPF_FREQ = 1004, IDC_HPF_FREQ_SPIN = 1351;
    static constexpr int IDC_LPF_FREQ = 1005, IDC_LPF_FREQ_SPIN = 1352;
    // Notify ids the crossover lists post WM_COMBOXBTN_SELECT with.
    static constexpr int NID_HPF_FAMILY = 1014, NID_HPF_SLOPE = 1015, NID_LPF_FAMILY = 1016, NID_LPF_SLOPE = 1017;
    static constexpr int IDC_OUT_GAIN = 4002, IDC_OUT_GAIN_SPIN = 4003, IDC_OUT_GAIN_SLIDER = 4004;
    static constexpr int IDC_POLARITY = 4001;
    static constexpr int IDC_DELAY_MS = 4010, IDC_DELAY_CM = 4011, IDC_DELAY_INCH = 4012;
    static constexpr int IDC_DELAY_MS_SPIN = 4013, IDC_DELAY_CM_SPIN = 4014, IDC_DELAY_INCH_SPIN = 4015;
    static constexpr int IDC_LANGUAGE = 5311, IDC_VOLUME_PAGE = 5689, IDC_INPUT_INDICATOR = 5688;
    static constexpr int IDC_DELAY_UNIT = 859;  // the delay-unit selector's id on the page
    // Speaker-position buttons, one per speaker type 1..24 (hidden), and the bridged-pair
    // buttons of outputs 2k, 2k+1 (hidden and disabled).
    static constexpr int IDC_SPEAKER_FIRST = 4600, IDC_SPEAKER_LAST = 4623;
    static constexpr int IDC_PAIR_FIRST = 4700, IDC_PAIR_LAST = 4704;
    static constexpr int kSpeakerTypes = 24;
    static constexpr int kPairButtons = 5;
    // Not controls: the key navigation starts the first band's walk from these.
    static constexpr int kBeforeFirstFreq = 5199, kBeforeFirstGain = 4999;

    COutputDlg(IChannelSends &sends, IDeviceSync &sync, IMessageBoxService &boxes, CPageRegistry &pages,
               QWidget *parent = nullptr);
    ~COutputDlg() override;

    // ---- what the view calls ----
    // The record tree (not owned); the graph takes it too. Call once, before the first refresh.
    void SetKTVData(CKTV_Data *root);
    // The view's message queue (not owned): the volume-page button posts its request there.
    void SetViewTarget(IMessageTarget *view) { m_viewTarget = view; }
    void Show(int showCommand);
    // Source levels of every output from the current image, then the whole page.
    void LoadChannelRecords();
    // Reloads every control from the records and the link tables.
    void RefreshChannel();
    // IOutputPage: the band rows, the all-bypass and PEQ/GEQ buttons of the selected output.
    void RefreshEQ() override;
    // IOutputPage: with the speaker-type mode on, moves the selection to the first output that
    // has a speaker type when the selected one has none; with it off, lets the view refresh its
    // channel assignments.
    void SelectAssignedChannel() override;
    // After a preset file was loaded.
    void CheckChannelSelection();
    // Re-skins the page and its children and refills every list for g_bChinese; selections stay.
    void SwitchLanguage();
    void SetInputMode(int mode);
    // Tab with no edit focused: the first band's first edit takes the focus.
    void FocusFirstBand();
    // Selects output `output` (0..7; others are ignored): strips, link anchor, whole refresh.
    void OnSelectChannel(int output);
    // IOutputPage: each strip's selection, link value and link button (the group's badge,
    // checked, or the plain link look, unchecked), then every curve of the graph.
    void ShowChannelAssignments(const std::array<StripLinkLook, kStripCount> &looks) override;
    // What the page calls for the view's channel-assignment refresh (the view sets it).
    void SetChannelAssignmentsRefresh(std::function<void()> fn) { m_refreshAssignments = std::move(fn); }

    // ---- shared by the edits ----
    void HighlightBandLabel(int i, bool on);
    void SelectBandLabel(int i);
    // kind 0 frequency, 1 Q, 2 gain edit of band i.
    void HighlightEdit(int i, int kind, bool on);
    void UpdateAllBypassButton();
    // The selected output's record (g_nSelOutput), or null before SetKTVData.
    CKTV_OutData *CurrentOutput() const;
    CKTV_Data *Root() const { return m_root; }
    // Redraws graph item `item` (−1: every item) and selects it.
    void RedrawGraph(int item);
    // g_ChannelModified of the selected output.
    void MarkSelectedModified() const;
    // The graph's released flag (the mouse button went up after a drag), cleared when read.
    bool TakeGraphReleased();
    // Band rows shown from the record: the bypass look of band i for a neutral band.
    void ShowBandBypass(bool neutral, int i);
    // Frequency and Q edits disabled in GEQ mode.
    void EnableBandRows(bool geq);
    // In GEQ mode the sliders of bands outside the crossovers' pass band are dim.
    void ColourGeqSliders();

    // ---- equaliser, channel and link edits (OutputDlgEq.cpp, OutputDlgChannel.cpp, OutputDlgLinks.cpp) ----
    // Band i's edits, spins, slider and bypass button.
    void OnBandFreqChanged(int i);
    void OnBandQChanged(int i);
    void OnBandGainChanged(int i);
    void OnBandSliderMoved(int i);
    void OnBandBypass(int i);
    // All-bypass asks first and changes nothing on No; PEQ/GEQ and reset ask, then reset the
    // equaliser of the selected output and its link group.
    void OnAllBypass();
    void OnEqModeSwitch();
    void OnResetAllEq();
    // The graph moved element `item` (bands 0..30; 31 and 32 go to the crossover column).
    void SyncFromCurve(int item);
    void OnCurveFocusBand(int item);
    LRESULT OnSliderPosChanging(int id);
    LRESULT OnSliderPosChanged(int id);
    // What the strips report for output c (0..7; other indexes are ignored).
    LRESULT OnStripGain(int c, int gain);
    LRESULT OnStripMute(int c, int on);
    LRESULT OnStripPhase(int c, int polarity);
    LRESULT OnStripDelay(int c, int delay);
    // Routing toggle message msg (WM_OUTSTRIP_ROUTE1..4) of output c.
    LRESULT OnStripRoute(unsigned msg, int c, int state);
    // The master strip's volume (the message's value) and the delay unit 1 ms, 2 cm, 3 inch.
    LRESULT OnGainDlgChanged(int volume);
    LRESULT OnGainDlgSelect(int unit);
    // The hidden controls of the selected output.
    void OnOutputGainChanged();
    void OnOutputGainSlider();
    void OnPolarityButton();
    void OnDelayEditChanged(int unit);
    LRESULT OnDelayLockStep(int spinId, int step);
    void OnVolumePageButton();
    // Link groups and bridged pairs: every output a copy of `source` reaches is silent while it
    // runs; the copy goes to the other members of source's group.
    void MuteGroupForCopy(int source, bool mute);
    void CopyToLinkGroup(int source, int target);
    // The channel buttons of the outputs whose link value is `linkValue` (non-zero) follow one
    // another: all checked when any of them is.
    void SyncGroupSelection(int output, int linkValue);
    // The editor's scheme: strip `output`'s link mask and the output's link value become `mask`,
    // and the value is stored for the device.
    void SetEditorLink(int output, int mask);
    // Takes every strip's link mask as its output's link value, then copies output a to its group
    // while the group is silent, and shows the group's channel buttons (b < 0) or the strips of
    // a's mask with a's gain and the channel buttons of b's mask.
    LRESULT OnLinkDlgApply(int a, int b);
    // The strips of a's mask `m` other than a show a's gain; each strip's channel button is
    // checked exactly when its bit is set in `mb` (b's mask).
    void ApplyLinkMasksToStrips(int a, int m, int b, int mb);
    void PairChannels(int a, int b);
    void UnpairChannels(int a, int b, bool select);
    // Pair panel k (0..3) shows the pair from its first output 2k: the sources that feed it, its
    // gain, delay, polarity and on state. Other k: nothing.
    void RefreshPairPanel(int k);
    LRESULT OnStripPaste(int source, int target);
    // Pair button k (0..4) bridges outputs 2k and 2k+1, hiding the second strip, or dissolves
    // the pair when it is checked; then its check is inverted. k = 4 has no outputs.
    void OnPairButton(int k);
    // The pair k of a pair button's control id, -1 for another id.
    int PairOfButton(int id) const;

    // ---- speaker-position buttons (OutputDlgSpeakers.cpp) ----
    // Hidden for good; their checks and the output each one stands for are kept all the same.
    // A type outside 1..24 has no button.
    void HideSpeakerButtons();
    void CheckSpeakerButton(int type, bool check);
    // The buttons of the types of the other outputs in output c's link group.
    void CheckLinkedSpeakerButtons(int c);
    void UncheckLinkedSpeakerButtons(int c);
    // Selects the output the button of this type stands for (nothing when it stands for none).
    void OnSpeakerButton(int type);
    // Control id of the button of a type (0 outside 1..24), and the type of a control id (0 for
    // another id).
    static int SpeakerButtonId(int type);
    static int SpeakerTypeOfButton(int id);

    // ---- key navigation ----
    // Left (37) and Right (39) steps between the edits; other keys do nothing.
    LRESULT OnNumEditKey(int id, int key);
    // Enter in PEQ mode walks down a band's column.
    LRESULT OnNumEditEnter(int id);
    void FocusPrevious(int id);
    void FocusNext(int id);

    // ---- crossovers (OutputDlgCrossover.cpp) ----
    LRESULT OnFilterListSelect(int notifyId);
    void OnHpfFamilyChanged();
    void OnHpfSlopeChanged();
    void OnLpfFamilyChanged();
    void OnLpfSlopeChanged();
    void OnHpfFreqChanged();
    void OnLpfFreqChanged();
    // The graph moved a crossover (item 31 or 32).
    void SyncCrossoverFromCurve(int item);
    void FillHpfSlopeList();
    void FillLpfSlopeList();
    void FillFamilyLists();
    void RefreshCrossovers();
    void ShowCrossovers();

    // ---- the page's controls, for the edits and for tests ----
    CNumEdit *FreqEdit(int i) const { return m_editFreq[i]; }
    CNumEdit *QEdit(int i) const { return m_editQ[i]; }
    CNumEdit *GainEdit(int i) const { return m_editGain[i]; }
    CNumSpin *FreqSpin(int i) const { return m_spinFreq[i]; }
    CNumSpin *QSpin(int i) const { return m_spinQ[i]; }
    CNumSpin *GainSpin(int i) const { return m_spinGain[i]; }
    CBitmapSlider *BandSlider(int i) const { return m_slider[i]; }
    CXPButton *BypassButton(int i) const { return m_btnBypass[i]; }
    CFontStatic *BandLabel(int i) const { return m_label[i]; }
    CXPButton *EqModeButton() const { return m_btnEqMode; }
    CXPButton *AllBypassButton() const { return m_btnAllBypass; }
    CXPButton *ResetButton() const { return m_btnReset; }
    CComBoxBtn *HpfFamilyList() const { return m_listHpfFamily; }
    CComBoxBtn *HpfSlopeList() const { return m_listHpfSlope; }
    CComBoxBtn *LpfFamilyList() const { return m_listLpfFamily; }
    CComBoxBtn *LpfSlopeList() const { return m_listLpfSlope; }
    CNumEdit *HpfFreqEdit() const { return m_editHpf; }
    CNumEdit *LpfFreqEdit() const { return m_editLpf; }
    CNumSpin *HpfFreqSpin() const { return m_spinHpf; }
    CNumSpin *LpfFreqSpin() const { return m_spinLpf; }
    CDELAC *DelayUnitSelector() const { return m_delayUnit; }
    CCFStatic *Graph() const { return m_graph; }
    CBtnPng *SpeakerButton(int type) const
    {
        return type >= 1 && type <= kSpeakerTypes ? m_btnSpeaker[std::size_t(type)] : nullptr;
    }
    CBitButton *PairButton(int k) const { return k >= 0 && k < kPairButtons ? m_btnPair[std::size_t(k)] : nullptr; }
    // Pair panel k, made when first asked for (most sessions pair no outputs).
    CBTLRouteDlg *PairPanel(int k) const;
    // Where pair panel k sits: in the place of strip 2k + 1 (the fifth, which no pair shows, at
    // the page's right edge).
    static QRect PairPanelRect(int k);
    COutRoute_Dlg *Strip(int i) const { return i >= 0 && i < kOutputs ? m_strips[std::size_t(i)] : nullptr; }
    CGainDlg *MasterStrip() const { return m_masterStrip; }
    CChangnal_Line *OverlaySelector() const { return m_overlay; }
    CFontStatic *HighlightedLabel() const { return m_pHighlightLabel; }
    CNumEdit *HighlightedEdit() const { return m_pHighlightEdit; }
    // The control with this id among the page's own, or null.
    QWidget *Control(int id) const;
    // Where the response graph sits on the page.
    static QRect GraphRect();
    // Where strip i (0..7) sits on the page.
    static QRect StripRect(int i);
    static QRect MasterStripRect() { return QRect(3, 440, 100, 216); }
    static QRect DelayUnitRect() { return QRect(6, 371, 125, 35); }
    static QRect OverlaySelectorRect() { return QRect(1160, 6, 38, 210); }
    CMessageTable *Messages() const { return m_table; }

    IChannelSends &Sends() const { return m_sends; }
    IDeviceSync &Sync() const { return m_sync; }
    IMessageBoxService &Boxes() const { return m_boxes; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetLinkedSpeakerButtons(int c, bool check);
    // With the selected output untyped, selects the first output that has a speaker type.
    void SelectTypedOutput();
    void InitControls();
    void MakeSpeakerButtons();
    void MakePairButtons();
    CBTLRouteDlg *MakePairPanel(int k);
    void ApplyPairPanelLanguage(int k);
    // The pair panel of output c's pair when c is its bridged first output, else null.
    CBTLRouteDlg *PairPanelOf(int c) const;
    // Each speaker button's user value: the output that has its type, -1 when none has.
    void AssignSpeakerButtons();
    void InstallMessageMap();
    LRESULT OnCommand(int id, int code);
    void LayoutControls();
    // Enter, Tab and Escape of a key press inside the page; true when the page took it.
    bool HandlePageKey(int key);
    void ShowBandRow(int i);
    // Strips of the outputs that share output c's link value (c alone when unlinked) get `on`.
    void SelectStripsOf(int c, int on);
    void ShowInputIndicator();
    void RefreshMuteButtons();
    void SetFocusTo(int id);
    void ApplyCrossoverPick(bool highPass, bool slope);
    void ApplyCrossoverFreq(bool highPass);
    // Equaliser, channel and link edits: their messages and commands.
    void InstallEditMessages();
    bool OnEditCommand(int id);
    void ApplyBandGain(int i, int gainCode);
    bool AskYesNo(StrId text);
    // The output sounds again after a gain edit of the hidden controls.
    void SoundAgain(CKTV_OutData &out);
    // The strips' delay unit: 1 ms, 2 cm, 3 inch.
    int m_nDelayUnit = 1;

    IChannelSends &m_sends;
    IDeviceSync &m_sync;
    IMessageBoxService &m_boxes;
    CPageRegistry &m_pages;
    CMessageTable *m_table = nullptr;
    CKTV_Data *m_root = nullptr;
    IMessageTarget *m_viewTarget = nullptr;
    std::function<void()> m_refreshAssignments;

    std::array<CNumEdit *, kBands> m_editFreq{}, m_editQ{}, m_editGain{};
    std::array<CNumSpin *, kBands> m_spinFreq{}, m_spinQ{}, m_spinGain{};
    std::array<CBitmapSlider *, kBands> m_slider{};
    std::array<CXPButton *, kBands> m_btnBypass{};
    std::array<CFontStatic *, kBands> m_label{};
    CXPButton *m_btnEqMode = nullptr;
    CXPButton *m_btnAllBypass = nullptr;
    CXPButton *m_btnReset = nullptr;
    CComBoxBtn *m_listHpfFamily = nullptr, *m_listHpfSlope = nullptr;
    CComBoxBtn *m_listLpfFamily = nullptr, *m_listLpfSlope = nullptr;
    CNumEdit *m_editHpf = nullptr, *m_editLpf = nullptr;
    CNumSpin *m_spinHpf = nullptr, *m_spinLpf = nullptr;
    // Hidden controls of the selected output: gain, polarity, delay in three units, language.
    CNumEdit *m_editOutGain = nullptr;
    CNumSpin *m_spinOutGain = nullptr;
    CBitmapSlider *m_sliderOutGain = nullptr;
    CBitButton *m_btnPolarity = nullptr;
    std::array<CNumEdit *, 3> m_editDelay{};
    std::array<CNumSpin *, 3> m_spinDelay{};
    CBitButton *m_btnLanguage = nullptr;
    CBitButton *m_btnVolumePage = nullptr;
    CBitButton *m_btnInputIndicator = nullptr;
    CDELAC *m_delayUnit = nullptr;
    CCFStatic *m_graph = nullptr;
    std::array<COutRoute_Dlg *, kOutputs> m_strips{};
    CGainDlg *m_masterStrip = nullptr;
    CChangnal_Line *m_overlay = nullptr;
    std::array<CBtnPng *, kSpeakerTypes + 1> m_btnSpeaker{};  // by type; [0] stays null
    std::array<CBitButton *, kPairButtons> m_btnPair{};     // by pair k
    mutable std::array<CBTLRouteDlg *, kPairButtons> m_pairPanels{};  // by pair k, hidden until paired
    // What the strips' link buttons ask of the page.
    class LinkHost;
    std::unique_ptr<LinkHost> m_linkHost;

    CFontStatic *m_pHighlightLabel = nullptr;
    CNumEdit *m_pHighlightEdit = nullptr;

    // Working values of the crossover edits.
    int m_nHpfFreq = 0, m_nLpfFreq = 0;
};
