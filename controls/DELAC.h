#pragma once
// The delay-unit selector of the output page: three skinned buttons, ms, cm and inch, on their own
// background. A click checks that button only and posts WM_GAINDLG_SELECT to the parent with the
// selector's control id and the unit (1 ms, 2 cm, 3 inch). Enter and Escape close nothing.

#include "platform/WinCompat.h"

#include <QWidget>

class CBitButton;

inline constexpr unsigned WM_GAINDLG_SELECT = WM_USER + 8025;  // 9049: wParam the selector's id, lParam 1..3

class CDELAC : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 859;
    static constexpr int IDC_MS = 2820, IDC_CM = 2819, IDC_INCH = 2821;
    static constexpr int kBackground = 857;
    // Skins of the unit buttons: ms, cm, inch × normal, hover, checked.
    static constexpr int kSkinFirst = 8590;
    static constexpr int kButtonWidthDlu = 20;  // wide enough for the Chinese unit words at 12 px

    explicit CDELAC(QWidget *parent = nullptr, int ctrlId = 0);

    CBitButton *Button(int id) const;
    void OnMs();
    void OnCm();
    void OnInch();
    void SetValueA(int v) { m_nValueA = v; }
    void SetValueB(int v) { m_nValueB = v; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void select(int id, LPARAM unit);

    CBitButton *m_btnMs;
    CBitButton *m_btnCm;
    CBitButton *m_btnInch;
    int m_nValueA = 0, m_nValueB = 0;
};
