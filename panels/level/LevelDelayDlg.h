#pragma once
// The level and delay page: on one skinned background the whole level picture of the device and
// the speaker delays. At the top the master volume with its on switch and the six music inputs,
// each with its level and the button that makes it the active input; at the bottom right the
// eight outputs as faders with on/off, polarity, meter and speaker-type label; at the left a car
// seen from above with the delay of every output beside its speaker's position, the delay unit
// and the toggles that lock the delays of paired speakers together.
//
// It edits the same data as the output page: the output records' gain, on state, polarity and
// delay, the music inputs' gains, the master volume and master switch of system block 5, the
// selected input of system block 2 and the delay-lock states of g_SpeakerGroups. Records are
// changed through their setters, which mark the change for the link's worker; system blocks are
// marked or queued through the device-sync service. The page builds no frame and never takes
// g_csLink.
//
// The owner sets the record tree, then calls RefreshAll whenever the records or system blocks
// changed, UpdateMeters when a status reply arrived and RefreshInputs when the input layout or
// the selected input changed. One class in several files: LevelDelayDlg.cpp (controls, places,
// painting, refresh, language, keys, the current-output mark), LevelDelayLevels.cpp (master,
// input and output levels, switches, meters), LevelDelayDelays.cpp (speaker delays, units, locks),
// LevelDelayInputs.cpp (input choice and columns), LevelDelaySkins.cpp.
//
// UI thread only.

#include "panels/level/LevelPageTables.h"
#include "platform/WinCompat.h"

#include <QRect>
#include <QWidget>

#include <array>
#include <unordered_map>

class CBitButton;
class CBitmapSlider;
class CBtnPng;
class CKTV_Data;
class CKTV_OutData;
class CMessageTable;
class CMusic_InData;
class CNumEdit;
class CNumSpin;
class CSLamp;
class IDeviceSync;

class CLevel_Delay_Dlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 522;
    static constexpr int kWidth = 1197, kHeight = 649;
    static constexpr int kOutputs = levelpage::kOutputs;
    static constexpr int kInputs = levelpage::kInputs;
    static constexpr int kDelayPositions = levelpage::kDelayPositions;
    // The input page's notices: re-check the input buttons (lParam an input), and re-label and
    // re-check them after the input page changed the choice (wParam the alternate mode, lParam the
    // selected input, both as they were before the change).
    static constexpr unsigned WM_INPUT_RECHECK = WM_USER + 600;
    static constexpr unsigned WM_INPUT_REFRESH = WM_USER + 601;

    explicit CLevel_Delay_Dlg(IDeviceSync &sync, QWidget *parent = nullptr);
    ~CLevel_Delay_Dlg() override;

    // The record tree (not owned). Set before the first refresh.
    void SetKTVData(CKTV_Data *root) { m_root = root; }

    // ---- what the owner calls ----
    // Every area from the records and the globals.
    void RefreshAll();
    // Skins and "OFF" texts in the language of g_bChinese.
    void SwitchLanguage();
    // The eight meters from the last status reply (g_MeterLevels).
    void UpdateMeters();
    // Input columns for g_nInputLayout, button skins for the mode and language, checks.
    void RefreshInputs();
    // With no edit focused: the master edit takes the focus and the marked output's icons go out.
    void FocusMaster();

    // ---- the current-output mark ----
    // Moves the mark to output a (checks its speaker icon, unchecks the previous one's and its
    // link group's); a < 0 only unchecks.
    void SelectOutput(int a);
    void SelectOutputIfChanged(int a);
    int MarkedOutput() const { return m_nMarked; }

    // ---- levels, switches and meters (LevelDelayLevels.cpp) ----
    void OnMasterChanged();            // from the step control / edit
    void OnMasterFader(bool changed);  // from the fader; changed: WM_SLIDER_POS_CHANGED
    void OnMasterSwitch();
    void OnInputLevelChanged(int i);
    void OnInputFader(int i, bool changed);
    void OnOutputGainChanged(int i);
    void OnOutputFader(int i, bool changed);
    void OnOutputOn(int i);
    void OnOutputPolarity(int i);
    // Copies the on state last applied by the page to the outputs linked to output i.
    void PropagateOnState(int i, int noMark);

    // ---- speaker delays (LevelDelayDelays.cpp) ----
    void AssignDelayPosition(int output, int type);
    void RefreshDelayLocks();
    void SetDelayUnit(int unit);
    int DelayUnit() const { return m_nDelayUnit; }
    // Locks (1) or unlocks (0) the delay edits of the member outputs.
    void LockDelayGroup(const int *members, int lock);
    void OnDelayChanged(int k);
    void OnDelayStep(int spinId, int delta);
    void OnUnitButton(int id);
    void OnSpeakerIcon(int iconId);
    void OnLockToggle(int toggleId);

    // ---- input choice (LevelDelayInputs.cpp) ----
    void SelectInput(int i);
    void ShowAuxColumns();
    void LabelInputButtons();
    void CheckInputButtons();
    void OnInputRefresh(int altMode, int selectedInput);

    // ---- controls, for the handlers and for tests ----
    QWidget *Control(int id) const;
    template <class T> T *Ctrl(int id) const { return qobject_cast<T *>(Control(id)); }
    CNumEdit *Edit(int id) const;
    CNumSpin *Spin(int id) const;
    CBitmapSlider *Fader(int id) const;
    CBitButton *Button(int id) const;
    CBtnPng *Png(int id) const;
    CSLamp *Meter(int i) const;
    // The delay edit, step control and icon that show output i's delay (all null without a
    // speaker type).
    CNumEdit *DelayEditOf(int i) const { return Valid(i) ? m_delayPos[std::size_t(i)].edit : nullptr; }
    CNumSpin *DelaySpinOf(int i) const { return Valid(i) ? m_delayPos[std::size_t(i)].spin : nullptr; }
    CBtnPng *IconOf(int i) const { return Valid(i) ? m_delayPos[std::size_t(i)].icon : nullptr; }
    // Where the template places a rectangle given in dialog units.
    static QRect Dlu(int x, int y, int w, int h);
    CMessageTable *Messages() const { return m_table; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct DelayPos {
        CNumEdit *edit = nullptr;
        CNumSpin *spin = nullptr;
        CBtnPng *icon = nullptr;
    };
    struct InputColumn {
        QRect fader, edit, button;
    };

    static bool Valid(int i) { return i >= 0 && i < kOutputs; }
    CKTV_OutData *Out(int i) const;
    CMusic_InData *In(int i) const;

    // A new control of the page with its id, found by Control(id).
    template <class T> T *Make(int id) { return static_cast<T *>(Adopt(new T(this), id)); }
    QWidget *Adopt(QWidget *w, int id);
    void InitLevelControls();
    void InitDelayControls();
    void InitInputColumns();
    void InstallMessageMap();
    LRESULT OnCommand(int id);
    LRESULT OnSliderMessage(int id, bool changed);
    LRESULT OnNumEditKey(int id, int key);
    void OnCtrlMouseMove(int id);
    void FocusControl(int id);
    void CheckIcon(int output, int check);
    void LoadLevels();
    void RefreshLinkedGains(int i);
    void MoveInputColumn(int input, int place);
    void ShowInputColumn(int input, bool shown);

    IDeviceSync &m_sync;
    CKTV_Data *m_root = nullptr;
    CMessageTable *m_table = nullptr;
    std::unordered_map<int, QWidget *> m_controls;
    std::array<DelayPos, kOutputs> m_delayPos{};
    std::array<InputColumn, kInputs> m_inputPlaces{};
    // Client places of the centre icons 6052, 6053 and edits 6006, 6007 as set up.
    std::array<QRect, 4> m_centrePlaces{};
    int m_nMarked = -1;
    int m_nDelayUnit = 1;  // 1 ms, 2 cm, 3 inch
    int m_nLastOn = 0;     // the on state the page applied last
    int m_nLastPolarity = 0;
};
