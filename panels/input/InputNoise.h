#pragma once
// The Hi.Level mixing dialog: switches the device's Hi.Level mixing on or off and sets its
// threshold, the attenuation of the main source and the release time (bytes 4..7 of the input
// block). Every change is written to the globals and queued as one SYS_INPUT write at once;
// closing the dialog commits nothing more. The main view's own mixing switch follows the
// dialog's switch through IMixingSwitch. Enter and Escape never close it; its close box does.

#include <QDialog>

#include <array>

class CBitButton;
class CNumEdit;
class CNumSpin;
class IDeviceSync;
class IMixingSwitch;

class CInputNoise : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 1039;
    static constexpr int IDC_SWITCH = 2857;
    static constexpr int kBackgroundCn = 1040, kBackgroundEn = 1041;
    static constexpr int kSwitchOn = 1042, kSwitchOff = 1043;

    explicit CInputNoise(IDeviceSync &sync, QWidget *parent = nullptr);
    ~CInputNoise() override;

    // The main view's switch; set by the opener before DoModal (may stay null).
    IMixingSwitch *m_pView = nullptr;

    // Sets the controls up from the input block and runs the dialog.
    int DoModal();
    // The set-up DoModal runs, for tests and pictures that show the dialog without its loop.
    void InitDialog();

    // Edits and spins := the three value bytes.
    void RefreshValues();
    // The switch's check := on.
    void SetToggleCheck(int on);

    void OnToggle();
    // Field k of hilevel::kFields (the edit's and the spin's command alike).
    void OnValue(int k);

    int IsOn() const { return m_bOn; }
    CBitButton *Switch() const { return m_btnSwitch; }
    CNumEdit *Edit(int k) const { return m_edits[static_cast<std::size_t>(k)]; }
    CNumSpin *Spin(int k) const { return m_spins[static_cast<std::size_t>(k)]; }

    static void RegisterSkins();

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    IDeviceSync &m_sync;
    CBitButton *m_btnSwitch = nullptr;
    std::array<CNumEdit *, 3> m_edits{};
    std::array<CNumSpin *, 3> m_spins{};
    int m_bOn = 0;
};

// The mixing dialog while it is set up and open (the system's global); cleared when it goes.
inline CInputNoise *g_pInputNoiseDlg = nullptr;
