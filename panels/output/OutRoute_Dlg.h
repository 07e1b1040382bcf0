#pragma once
// One output channel strip of the output page: a channel button that selects the output, the
// output's gain as a fader with a numeric edit, its delay, an on/off (mute) button, a polarity
// button, three visible routing toggles and the link button. The strip never changes a record:
// it posts each user change to its parent page (OutStripMessages.h, values only), and the page
// refreshes it through the setters below, which post nothing. The link button's behaviour is
// CLinkButtonLogic; the page answers its questions as the strip's ILinkButtonHost.

#include "panels/output/LinkButtonLogic.h"
#include "platform/WinCompat.h"

#include <QWidget>

#include <array>

class CBitButton;
class CBitmapSlider;
class CFontStatic;
class CNumEdit;
class CNumSpin;
class QMenu;

class COutRoute_Dlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 110;
    static constexpr int IDC_CHANNEL = 2636, IDC_MUTE = 1001, IDC_PHASE = 2825, IDC_LINK = 2844;
    static constexpr int IDC_GAIN_EDIT = 2827, IDC_GAIN_SPIN = 2829, IDC_FADER = 2826;
    static constexpr int IDC_DELAY_EDIT = 2818, IDC_DELAY_SPIN = 2828;
    static constexpr int IDC_LABEL_FIRST = 2855;  // source labels 2855..2866
    static constexpr int kRouteCount = 12;
    static constexpr int kShownRoutes = 3;  // toggles 1..3 are on the strip; 4..12 stay hidden
    static constexpr int kGainMax = 600, kDelayMax = 960;
    static constexpr int kGainTypeLimit = 6, kDelayTypeLimit = 5;  // characters a user may type
    // Bitmaps of the on/off button: sounding and muted (normal, hover, pressed).
    static constexpr int kSoundingLook[3] = {526, 527, 528};
    static constexpr int kMutedLook[3] = {528, 530, 526};
    // The link menu (888) and its commands.
    static constexpr int IDR_LINK_MENU = 888;
    static constexpr int IDM_LINK_CREATE = 32771, IDM_LINK_JOIN = 32772, IDM_LINK_LEAVE = 32773,
                         IDM_LINK_DISSOLVE = 32774;
    // Control id of routing toggle k (1..12).
    static constexpr int RouteId(int k) { return k <= 6 ? 2818 + k : 2823 + k; }

    explicit COutRoute_Dlg(QWidget *parent = nullptr, int channel = 0);
    ~COutRoute_Dlg() override;

    // ---- what the page writes after creating the strip ----
    void SetChannel(int channel) { m_nChannel = channel; }
    int GetChannel() const { return m_nChannel; }
    void SetLinkMask(int mask) { m_nLinkMask = mask; }
    int GetLinkMask() const { return m_nLinkMask; }
    // The page's answers to the link button (channel buttons, group copies, refresh).
    void SetLinkHost(ILinkButtonHost *host) { m_pLinkHost = host; }

    // ---- setters the page calls; none posts a message (except SetPhaseNotify) ----
    void SetBackground(int bitmapId);
    void SetChannelButtonBitmaps(int normal, int hover, int on);
    void SetFaderChannelBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y);
    void SetFaderThumbBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y);
    void SetSelected(int selected);
    void SetSelectedFlag(int flag) { m_nSelectedFlag = flag; }
    int GetSelectedFlag() const { return m_nSelectedFlag; }
    void SetGain(int gain);
    void SetDelay(int delay);
    void SetMute(int on);
    void SetPhase(int polarity);
    void SetPhaseNotify(int polarity);
    void SetRoute(int k, int state);
    void SetDelayUnit(int unit);
    void SetLanguage(int chinese);
    void SetSourceLabelTexts();
    void SetSourceLabelColours(int inputMode);
    void SetSourceBitmap(int) {}
    void Refresh() {}
    // The link button's looks in the current language: plain, and as checked the badge of the
    // output's link value (the plain link bitmap outside 1..10).
    void UpdateLinkButtonLook();

    // Operations the page does not call in this program.
    void ShowControls(int show);
    void SetLinkIndex(int index);
    int GetBackgroundWidth() const { return m_nBackgroundSize.width(); }
    int GetBackgroundHeight() const { return m_nBackgroundSize.height(); }
    bool IsLinkedToOther() const;
    static bool AreAllOutputsLinked();
    bool IsLinkMaskCrossed() const;

    // ---- state and controls (for the page and tests) ----
    int GetOn() const { return m_bOn; }
    int GetPhase() const { return m_nPhase; }
    int GetRoute(int k) const;
    int GetGain() const { return m_nGain; }
    int GetLanguage() const { return m_nLanguage; }
    int GetBackground() const { return m_nBackground; }
    int GetClickKind() const { return m_nClickKind; }
    CBitButton *ChannelButton() const { return m_btnChannel; }
    CBitButton *MuteButton() const { return m_btnMute; }
    CBitButton *PhaseButton() const { return m_btnPhase; }
    CBitButton *LinkButton() const { return m_btnLink; }
    // Routing toggle k (1..12); the hidden toggles 4..12 are made when first asked for.
    CBitButton *RouteButton(int k) const;
    CNumEdit *GainEdit() const { return m_editGain; }
    CNumSpin *GainSpin() const { return m_spinGain; }
    CBitmapSlider *Fader() const { return m_fader; }
    CNumEdit *DelayEdit() const { return m_editDelay; }
    CNumSpin *DelaySpin() const { return m_spinDelay; }
    // Source label i (0..11); the twelve are made when one is first asked for.
    CFontStatic *SourceLabel(int i) const;

    // ---- handlers (message and click entry points) ----
    void OnMuteButton();
    void OnPhaseButton();
    void OnChannelButton();
    void OnRouteButton(int k);
    void OnGainEdit();
    void OnDelayEdit();
    LRESULT OnFaderChanging(WPARAM id, LPARAM pos);
    LRESULT OnFaderChanged(WPARAM id, LPARAM pos);
    LRESULT OnLinkButtonPress(WPARAM kind, LPARAM);
    LRESULT OnNumEditKey(WPARAM id, LPARAM key);
    LRESULT OnNumEditEnter(WPARAM id, LPARAM);
    // A command of the link menu: create or join opens the link-group editor; leave takes this
    // output out of its editor group; dissolve gives every member of it its own bit again.
    void OnLinkMenuCommand(int id);
    // The link menu, made when first asked for; nothing in this program shows it.
    QMenu *LinkMenu() const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void post(unsigned msg, LPARAM value);
    void showMuteLook();
    void showPhaseLook();
    void showRouteLook(int k);
    CBitButton *makeRouteButton(int k);
    void makeSourceLabels();
    void showSourceLabelTexts();
    void showSourceLabelColours();
    void makeLinkMenu();
    void applyRouteExclusion();
    void applyLanguage();
    void onFader(bool done);
    void focusEdit(int channel, bool gain);
    COutRoute_Dlg *sibling(int channel) const;

    QWidget *m_pPage = nullptr;  // the parent every notification goes to
    mutable std::array<CFontStatic *, 12> m_labels{};  // all null until one is asked for
    int m_nLabelLanguage = 1;    // the language of the labels' texts
    int m_nLabelInputMode = -1;  // the input whose labels are lit
    CBitButton *m_btnChannel = nullptr;
    CBitButton *m_btnMute = nullptr;
    int m_nBackground = 0;
    QSize m_nBackgroundSize;
    int m_nSelectedFlag = 0;
    int m_nLinkIndex = 0;
    int m_nLinkMask = 0;
    int m_bOn = 1;
    int m_nPhase = 0;
    int m_nChannel = 0;
    CBitButton *m_btnLink = nullptr;
    mutable std::array<CBitButton *, kRouteCount> m_btnRoute{};  // 4..12 null until asked for
    std::array<int, kRouteCount> m_nRoute{};
    std::array<bool, kRouteCount> m_bRouteLook{};  // toggle k has shown its state's look
    CNumEdit *m_editGain = nullptr;
    CNumSpin *m_spinGain = nullptr;
    CBitmapSlider *m_fader = nullptr;
    int m_nGain = 0;
    CNumEdit *m_editDelay = nullptr;
    CNumSpin *m_spinDelay = nullptr;
    CBitButton *m_btnPhase = nullptr;
    int m_nClickKind = 0;
    int m_bDoubleClick = 0;
    int m_nLanguage = 1;
    int m_bCompact = 0;
    ILinkButtonHost *m_pLinkHost = nullptr;
    mutable QMenu *m_menuLink = nullptr;  // made when first asked for
};
