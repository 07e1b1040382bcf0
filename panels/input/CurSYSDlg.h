#pragma once
// The dynamics dialog ("System"): one box per output with its limiter's threshold, attack and
// release, the compressor's threshold, ratio, attack and release, and the output's limiter curve;
// above the boxes the noise gate of music input 0. Limiter and noise-gate values go into the
// records, which stamp them for the link's scheduler (while a device is online) and copy the
// limiter to the output's link group; the dialog then shows the new values on the linked boxes.
// The output records keep no compressor values: those controls are bounded and shown, and start at
// their minimum at every opening.
//
// Modal, made by its opener with the record tree. Enter and Escape move the focus to the dialog
// (a typed value commits) and never close it; the title bar's close button ends it. Nothing in the
// main window opens it in this program.

#include "platform/WinCompat.h"

#include <QDialog>

#include <array>

class CCOM_EXT_LIMStatic;
class CFontStatic;
class CGroupBoxEx;
class CKTV_Data;
class CMusic_InData;
class CNumEdit;
class CNumSpin;
class QComboBox;

class CCurSYSDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 108;
    static constexpr int kOutputs = 8;
    // Control ids; output i adds i.
    static constexpr int IDC_CURVE = 2513;
    static constexpr int IDC_BOX = 5610;
    static constexpr int IDC_NOISE_EDIT = 2059, IDC_NOISE_SPIN = 2060;
    static constexpr int IDC_SOURCE_LABEL = 2061, IDC_NOISE_LABEL = 2062, IDC_SOURCE = 2063;
    static constexpr int IDC_ROW_LABEL = 5600;  // level, attack, release of each row of boxes
    static constexpr int IDC_RATIO_LABEL_TOP = 9136, IDC_RATIO_LABEL_BOTTOM = 9137;

    // The values of one output's box, in the order of their table.
    enum Value { LimitThreshold, LimitAttack, LimitRelease, CompThreshold, CompAttack, CompRelease, Ratio, kValues };
    struct ValueSpec {
        int editId;  // + output
        int spinId;  // + output
        int min, max;
        int type;
        double scale, offset;
        const char *unit;
        int column;  // 0 the limiter's (left of the curve), 1 the compressor's (right of it)
        int row;     // dialog units below the box's top
    };
    static constexpr std::array<ValueSpec, kValues> kValueSpecs = {{
        {5620, 5650, 0, 420, 24, 0.1, 30.0, "", 0, 13},
        {5630, 5660, 0, 206, 5, 1.0, 0.0, "", 0, 65},
        {5700, 5710, 50, 5000, 6, 1.0, 0.0, "ms", 0, 91},
        {9500, 9540, 0, 360, 24, 0.1, 30.0, "", 1, 13},
        {9520, 9560, 0, 206, 5, 1.0, 0.0, "", 1, 65},
        {9530, 9570, 50, 5000, 6, 1.0, 0.0, "ms", 1, 91},
        {9510, 9550, 1, 191, 40, 1.0, 0.0, "", 1, 39},
    }};
    // Noise gate: 0 is OFF, else v - 120 dB.
    static constexpr int kNoiseMin = 0, kNoiseMax = 100;

    explicit CCurSYSDlg(CKTV_Data &root, QWidget *parent = nullptr);
    ~CCurSYSDlg() override;

    // Sets the controls up and loads the records' values (once; DoModal calls it).
    void InitDialog();
    int DoModal();

    // ---- the handlers of the controls' commands ----
    void OnLimitThreshold(int i);
    void OnLimitAttack(int i);
    void OnLimitRelease(int i);
    void OnCompThreshold(int i);
    void OnCompAttack(int i);
    void OnCompRelease(int i);
    void OnRatio(int i);
    void OnNoiseGate();

    // ---- controls, for tests and the gallery ----
    CNumEdit *Edit(int i, Value v) const { return m_edit[Index(i, v)]; }
    CNumSpin *Spin(int i, Value v) const { return m_spin[Index(i, v)]; }
    CCOM_EXT_LIMStatic *Curve(int i) const { return m_curve[static_cast<std::size_t>(i)]; }
    CGroupBoxEx *Box(int i) const { return m_box[static_cast<std::size_t>(i)]; }
    // Level, attack and release labels of the top row, then the bottom row's; the ratio labels.
    const std::array<CFontStatic *, 6> &RowLabels() const { return m_rowLabel; }
    const std::array<CFontStatic *, 2> &RatioLabels() const { return m_ratioLabel; }
    CNumEdit *NoiseEdit() const { return m_noiseEdit; }
    CNumSpin *NoiseSpin() const { return m_noiseSpin; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    static std::size_t Index(int i, Value v) { return static_cast<std::size_t>(i * kValues + v); }
    void CreateControls();
    void InitControls();
    void LoadValues();
    void ApplyTexts();
    void FitRowLabels();
    LRESULT OnCommand(int id);
    // The spin of value v on every output linked to output i takes what `value` gives for it.
    template <typename Fn> void SyncLinked(int i, Value v, Fn value, bool refreshCurve);

    CKTV_Data &m_root;
    CMusic_InData *m_pNoiseGate = nullptr;
    std::array<CNumEdit *, kOutputs * kValues> m_edit{};
    std::array<CNumSpin *, kOutputs * kValues> m_spin{};
    std::array<CCOM_EXT_LIMStatic *, kOutputs> m_curve{};
    std::array<CGroupBoxEx *, kOutputs> m_box{};
    std::array<CFontStatic *, 6> m_rowLabel{};
    std::array<CFontStatic *, 2> m_ratioLabel{};
    CFontStatic *m_sourceLabel = nullptr;
    CFontStatic *m_noiseLabel = nullptr;
    QComboBox *m_source = nullptr;
    CNumEdit *m_noiseEdit = nullptr;
    CNumSpin *m_noiseSpin = nullptr;
    bool m_bInitialised = false;
};
