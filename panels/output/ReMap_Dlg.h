#pragma once
// The source mix panel: the levels 0..100 at which twelve input sources (LINE1..LINE8, the
// Bluetooth pair, the S/PDIF pair) are mixed into one output, each row a numeric edit and a
// horizontal slider (mixrow, MixRows.h, says which record byte a row writes). A change goes
// straight into the output's record through its setter, which marks the item for sending, and
// into the bridged partner's record while the output heads a bridged pair; the panel sends nothing
// itself. After each change it posts its owner (the mixer) WM_REMAP_CHANGED, and WM_REMAP_SELECT
// when the user pressed the panel or typed a level.
//
// Enter, Esc and Tab inside the panel only move the focus to the panel (a typed value commits on
// the focus loss) and go no further, so they never close the mixer nor walk its controls.
//
// The owner fills m_pOwner, m_nChannel, m_pRecord and m_pTree, then calls OnInitDialog once.

#include "platform/WinCompat.h"

#include <QWidget>

#include <array>

class CBitmapSlider;
class CKTV_Data;
class CKTV_OutData;
class CNumEdit;
class CNumSpin;

// Messages a mix panel posts to its owner.
// wParam mixrow::ChangeWParam(output, row 1..12), lParam the new level 0..100.
inline constexpr unsigned WM_REMAP_CHANGED = WM_USER + 8030;
// wParam the output, lParam 0.
inline constexpr unsigned WM_REMAP_SELECT = WM_USER + 8031;

class CReMap_Dlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 1015;
    static constexpr int kBackground = 1016;
    static constexpr int kChannel = 1038, kThumb = 1031, kThumbActive = 1019;
    static constexpr int kChannelSource = 1017, kThumbSource = 1018;

    explicit CReMap_Dlg(QWidget *parent = nullptr);
    ~CReMap_Dlg() override;

    // Set by the owner before OnInitDialog.
    QWidget *m_pOwner = nullptr;
    int m_nChannel = 0;
    CKTV_OutData *m_pRecord = nullptr;
    CKTV_Data *m_pTree = nullptr;  // where the bridged partner's record is found

    // Skins, tips, ranges, the rows of the active input source and the stored levels.
    void OnInitDialog();
    // Shows the twelve stored levels of the record.
    void LoadValues();

    // ---- state and controls (for the mixer and tests); row 1..12 ----
    CNumEdit *Edit(int row) const;
    CBitmapSlider *Slider(int row) const;
    CNumSpin *Spin(int row) const;
    int CurrentValue() const { return m_nCurValue; }
    // Whether row's slider wears the active source's skin.
    bool IsSourceRow(int row) const;

    // ---- handlers ----
    LRESULT OnSliderChange(WPARAM id, LPARAM pos);
    void OnEditChange(int row);
    void OnSpinChange(int row);

protected:
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Record (and bridged partner), then the change message.
    void Apply(int row, int v);

    struct RowCtrls {
        CNumEdit *edit = nullptr;
        CBitmapSlider *slider = nullptr;
        CNumSpin *spin = nullptr;
        bool source = false;
    };
    std::array<RowCtrls, 12> m_rows;
    int m_nCurValue = 0;
};
