#pragma once
// The input-connector picture of the input page: the device's input panel (PNG 654) with one
// clickable connector for each input that exists in the current AUX mode. A click selects that
// input on the page (WM_INMODE_SELECT to the parent, also for the input already selected); the
// page tells the picture which connectors to show and which one is checked (IInputConnectors).
// The picture has no background of its own: the page's pixels show through the PNG's transparent
// parts. Which connector stands for which input in each AUX mode is the plain table in namespace
// inmode, so it can be checked without a window. UI thread only.

#include "panels/input/InputConnectors.h"

#include <QWidget>

#include <array>

class CBtnPng;

namespace inmode {

inline constexpr int kAllModes = -1;

struct Connector {
    int id;
    int input;                // 0 S/PDIF, 1 Hi.Level, 2 Phone, 3..5 AUX1..AUX3
    int mode;                 // the AUX mode it belongs to, or kAllModes
    int x, y;                 // template position in dialog units
    int normal, hover, down;  // PNG ids; the checked looks are `down` in all three states
    int cn;                   // first of the Chinese set (normal, hover, down ×4), 0 for none
    bool visibleAtStart;
};

inline constexpr std::array<Connector, 11> kConnectors{{
    {2705, 0, kAllModes, 424, 31, 673, 674, 675, 4448, true},
    {2704, 1, kAllModes, 62, 25, 676, 677, 678, 4451, true},
    {2715, 2, kAllModes, 501, 31, 688, 689, 690, 4454, true},
    {2706, 3, 0, 191, 31, 655, 656, 657, 4430, true},
    {2707, 4, 0, 267, 31, 658, 659, 660, 4433, true},
    {2708, 5, 0, 343, 31, 661, 662, 663, 4436, true},
    {2710, 3, 1, 191, 31, 667, 668, 669, 4439, false},
    {2711, 4, 1, 343, 31, 700, 701, 702, 4442, false},
    {2712, 5, 1, 402, 92, 703, 704, 705, 0, false},  // never shown
    {2713, 3, 2, 191, 31, 670, 671, 672, 4445, false},
    {2714, 4, 2, 402, 92, 710, 711, 712, 0, false},  // never shown
}};

// The connector a click on control `id` selects (0..5), or -1 for an id that is none.
int InputOf(int id);
// The connector CheckSelectedInput checks for input `selected` in AUX mode `mode`; 0 for none.
int CheckedConnector(int selected, int mode);
// The connector UncheckSelectedInput unchecks; 0 for none.
int UncheckedConnector(int selected, int mode);
// The AUX connectors ShowAuxButtons shows in `mode`; the others of 2706..2711, 2713 are hidden.
// Empty for a mode outside 0..2, which changes nothing.
std::array<int, 3> VisibleAuxConnectors(int mode);

}  // namespace inmode

class CInMode_Dlg : public QWidget, public IInputConnectors {
    Q_OBJECT
public:
    static constexpr int IDD = 653;
    static constexpr int kPanelPng = 654;

    explicit CInMode_Dlg(QWidget *parent = nullptr);
    ~CInMode_Dlg() override;

    // Sizes the picture to the panel image and gives every connector its images.
    void InitDialog();
    void LoadButtonImages();

    // ---- IInputConnectors ----
    void ShowAuxButtons() override;
    void CheckSelectedInput() override;
    void ShowPhoneButton(bool show) override;
    void ShowSpdifButton(bool show) override;
    void RedrawButtons() override;

    void UncheckAll();
    void UncheckSelectedInput();
    // A click on connector `id`: checks it when it is another input than the selected one, and
    // tells the page in any case.
    void OnConnectorButton(int id);

    CBtnPng *Button(int id) const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void SetCheck(int id, int on);

    std::array<CBtnPng *, inmode::kConnectors.size()> m_buttons{};
};
