#pragma once
// The curve overlay selector of the output page: one toggle per output. A toggle that is on
// overlays that output's response curve, in grey, behind the selected output's curve. The state
// lives in g_CurveOverlayFlags; turning the toggle of an output other than the selected one
// reloads the page (its refresh), which redraws the graph with the new overlays.

#include <QWidget>

#include <array>
#include <functional>

class CBitButton;

class CChangnal_Line : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 982;
    static constexpr int kBackground = 983;
    static constexpr int kToggles = 10;  // outputs 1..8, then two hidden, disabled entries
    static constexpr int IDC_FIRST = 2847;  // the toggle of output i is 2847 + i

    explicit CChangnal_Line(QWidget *parent = nullptr);

    // The page's reload (COutputDlg::RefreshChannel).
    void SetPageRefresh(std::function<void()> refresh) { m_refresh = std::move(refresh); }

    void OnOutputToggle(int i);
    // The toggles follow g_CurveOverlayFlags (after a load or a reset).
    void SyncFromFlags();
    CBitButton *Toggle(int i) const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    std::array<CBitButton *, kToggles> m_toggles{};
    std::function<void()> m_refresh;
};
