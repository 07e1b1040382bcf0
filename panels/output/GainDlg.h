#pragma once
// The master volume strip at the left of the output page's strip row: a fader with a numeric
// edit from OFF (-60 dB) to +6 dB and the master mute button. Every volume change reaches the
// page as WM_GAINDLG_CHANGED carrying the volume 0..66 itself; the mute button writes the master
// on flag (g_bMasterOn) and marks system block 5 for sending. A hidden drop-down of the delay
// units posts WM_GAINDLG_SELECT with the unit 1..3.

#include "platform/WinCompat.h"

#include <QWidget>

class CBitButton;
class CBitmapSlider;
class CComBoxBtn;
class CNumEdit;
class CNumSpin;
class IDeviceSync;

class CGainDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 737;
    static constexpr int IDC_EDIT = 2812, IDC_SPIN = 2814, IDC_DROPDOWN = 2815, IDC_FADER = 2816, IDC_MUTE = 2819;
    static constexpr int kVolumeMax = 66;
    static constexpr int kBackgroundChinese = 739, kBackgroundEnglish = 853;
    // Focus targets on the page: the gain edit of equaliser band 31.
    static constexpr int kPageLastBandGainEdit = 5030;

    explicit CGainDlg(IDeviceSync &sync, QWidget *parent = nullptr, int ctrlId = IDD);
    ~CGainDlg() override;

    // ---- operations the page calls ----
    void SetBackgroundBitmap(int bitmapId);
    void SetDropDownState(int normalId, int hoverId);
    void AddDropDownString(const QString &text);
    void SetDropDownSel(int index);
    int GetDropDownSel() const;
    void ResetDropDown();
    void SetSliderChannelBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y);
    void SetSliderThumbBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y);
    void SetSliderThumbMask(int bitmapId);
    void SetSliderRange(int min, int max, int redraw);
    int GetSliderPos() const;
    // Volume 0..66 to the spin, the fader and the edit; the mute button shows the master's state.
    void SetGain(int volume);

    // ---- state and controls (for the page and tests) ----
    int GetVolume() const { return m_nVolume; }
    int GetBackground() const { return m_nBackground; }
    CNumEdit *VolumeEdit() const { return m_edit; }
    CNumSpin *VolumeSpin() const { return m_spin; }
    CBitmapSlider *Fader() const { return m_fader; }
    CBitButton *MuteButton() const { return m_btnMute; }
    CComBoxBtn *DropDown() const { return m_dropDown; }

    // ---- handlers ----
    void OnVolumeEdit();
    LRESULT OnFaderChanging(WPARAM id, LPARAM pos);
    LRESULT OnFaderChanged(WPARAM id, LPARAM pos);
    void OnMuteToggle();
    LRESULT OnDropDownSelect(WPARAM id, LPARAM index);
    LRESULT OnNumEditKey(WPARAM id, LPARAM key);
    LRESULT OnNumEditEnter(WPARAM id, LPARAM);

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onFader(bool done);
    void post(unsigned msg, LPARAM value);

    IDeviceSync &m_sync;
    CNumEdit *m_edit = nullptr;
    CNumSpin *m_spin = nullptr;
    CBitButton *m_btnMute = nullptr;
    CBitmapSlider *m_fader = nullptr;
    CComBoxBtn *m_dropDown = nullptr;
    int m_nBackground = 0;
    int m_nVolume = 0;
    int m_bMasterOn = 1;
};
