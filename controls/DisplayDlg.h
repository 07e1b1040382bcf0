#pragma once
// The transfer popup: a small topmost window with a blinking text and a gradient bar, shown while
// a batch of frames goes to or comes from the device. The window that started the batch is
// disabled meanwhile. The reply parser moves the bar and clears g_bTransferring at the end; the
// popup's 200 ms timer notices that, shows the end text for a moment and hides.

#include "platform/WinCompat.h"
#include "res/Strings.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class CFontStatic;
class CGradientProgressCtrl;
class CWndTimers;

class CDisplayDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 104;
    static constexpr int IDC_TEXT = 1433;
    static constexpr int IDC_PROGRESS = 2777;
    static constexpr int kTimer = 8;
    static constexpr int kTickMs = 200;
    // Ticks the end text stays up before the popup hides (one second).
    static constexpr int kEndTextTicks = 5;

    explicit CDisplayDlg(QWidget *owner = nullptr);

    // Mode 0 disables the owner while shown, mode 1 the machine-preset dialog (in factory mode the
    // advanced settings dialog), when it exists.
    void Show(int dialogMode);
    void Hide();
    void SetFactoryResetMode();
    int GetDialogMode() const { return m_nDialogMode; }
    bool FactoryMode() const { return m_bFactoryMode; }

    // Where the machine-preset and advanced settings dialogs are found while they are open.
    using WindowLookup = std::function<QWidget *()>;
    static void SetProgramDlgLookup(WindowLookup lookup);
    static void SetAdvancedDlgLookup(WindowLookup lookup);

    CGradientProgressCtrl *Progress() const { return m_pProgress; }
    CFontStatic *Text() const { return m_pText; }
    QWidget *DisabledWindow() const { return m_pDisabled; }
    bool TimerActive() const;
    // One tick of timer 8 (the timer calls it; tests may too).
    void OnTimer();

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void reject() override {}
    void changeEvent(QEvent *e) override;

private:
    void showEndText(StrId text);
    void applyTexts();

    QWidget *m_pOwner;
    CGradientProgressCtrl *m_pProgress;
    CFontStatic *m_pText;
    CWndTimers *m_timers;
    QPointer<QWidget> m_pDisabled;
    StrId m_title = StrId::XferTitle;
    StrId m_text = StrId::XferRunning;  // the running text, then the end text
    int m_bBlink = 0;
    int m_nDialogMode = 0;
    bool m_bFactoryMode = false;
    int m_nTickPos = 0;
    int m_nEndTicks = -1;  // >= 0 while the end text is shown
};
