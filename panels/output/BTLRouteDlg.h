#pragma once
// The bridged-pair route strip: while outputs 2k and 2k+1 are bridged, this panel stands on the
// output page in the place of the second output's strip and shows the pair as one: which of the
// twelve input sources feed it (a ticked mark per source), its gain as a slider and as text, its
// delay as text, its polarity, its on/off state and a link mark. It only shows: the output page
// writes every control (COutputDlg::RefreshPairPanel and the pair steps of the strip edits), and
// a click on any of its buttons or its slider changes nothing else.
//
// UI thread only.

#include <QWidget>

#include <array>

class CBitButton;
class CBitmapSlider;
class CFontStatic;
class CTransparentStatic;

class CBTLRouteDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 958;
    static constexpr int kRows = 12;
    static constexpr int IDC_GAIN_TEXT = 2845, IDC_DELAY_TEXT = 2846, IDC_GAIN_SLIDER = 2816;
    static constexpr int IDC_POLARITY = 11, IDC_ON = 12, IDC_LINK = 2844;
    // Source mark and label ids of rows 1..12 (index 0..11).
    static constexpr std::array<int, kRows> kMarkIds{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14};
    static constexpr int IDC_LABEL_FIRST = 2856;  // labels 2856..2867
    // Skins: empty and ticked source mark; polarity normal / inverted in Chinese and English;
    // on and off; the link mark in Chinese and English; the slider's channel and thumbs.
    static constexpr int kMarkEmpty = 969, kMarkTicked = 970;
    static constexpr int kPolarityNormalCn = 971, kPolarityInvertedCn = 972;
    static constexpr int kPolarityNormalEn = 973, kPolarityInvertedEn = 974;
    static constexpr int kOn = 978, kOff = 979;
    static constexpr int kLinkCn = 980, kLinkEn = 981;
    static constexpr int kSliderChannel = 977, kSliderThumb = 975, kSliderThumbActive = 976;
    static constexpr int kGainMax = 600;
    // Text colours: gain and delay; source labels.
    static constexpr unsigned kValueColour = 0x00A19F9D;  // RGB(157, 159, 161)
    static constexpr unsigned kLabelColour = 0x00696C69;  // RGB(105, 108, 105)

    explicit CBTLRouteDlg(QWidget *parent = nullptr);
    ~CBTLRouteDlg() override;

    // The two backgrounds the page chooses for this panel (by its pair), painted by language.
    void SetBackgrounds(int chinese, int english);
    int Background(bool chinese) const { return chinese ? m_nBackgroundCn : m_nBackgroundEn; }
    // The twelve source labels in the language of g_bChinese; then the whole panel repaints.
    void SetSourceLabels();

    // ---- what the page writes ----
    // Source row r (0..11) shows ticked (a level above 0) or empty.
    void SetSourceMark(int row, bool ticked);
    bool IsSourceMarked(int row) const;
    void SetGainText(const QString &text);
    void SetDelayText(const QString &text);
    // The slider shows the gain (0..600, the top is 0 dB).
    void SetGain(int gain);
    // Polarity 0 normal, 1 inverted, in the current language's look.
    void SetPolarity(int polarity);
    // On state 1 sounding, 0 muted.
    void SetOn(int on);
    // The link mark in the current language (unchecked).
    void SetLinkLook();

    CBitButton *SourceMark(int row) const;
    CFontStatic *SourceLabel(int row) const;
    CTransparentStatic *GainText() const { return m_gainText; }
    CTransparentStatic *DelayText() const { return m_delayText; }
    CBitmapSlider *GainSlider() const { return m_slider; }
    CBitButton *PolarityButton() const { return m_btnPolarity; }
    CBitButton *OnButton() const { return m_btnOn; }
    CBitButton *LinkButton() const { return m_btnLink; }
    int Polarity() const { return m_nPolarity; }
    int On() const { return m_nOn; }

    // Registers the panel's skins (idempotent).
    static void RegisterSkins();

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    std::array<CFontStatic *, kRows> m_labels{};
    std::array<CBitButton *, kRows> m_marks{};
    std::array<bool, kRows> m_marked{};
    CTransparentStatic *m_gainText = nullptr;
    CTransparentStatic *m_delayText = nullptr;
    CBitmapSlider *m_slider = nullptr;
    CBitButton *m_btnPolarity = nullptr;
    CBitButton *m_btnOn = nullptr;
    CBitButton *m_btnLink = nullptr;
    int m_nBackgroundCn = 0, m_nBackgroundEn = 0;
    int m_nPolarity = 0;
    int m_nOn = 1;
};
