#pragma once
// The mixer dialog "Input Signal": eight source mix panels (CReMap_Dlg) side by side, panel i for
// output i, in front of a background that names the twelve sources and the eight outputs. While
// an output pair is bridged (g_BtlPair[2k], read when the dialog opens), a pair panel stands in for
// the panel of the pair's second output and mirrors the first output's levels. A red frame marks
// the panel touched last. Every level change reaches the owner view as WM_VIEW_MIX_TABLE
// (ViewMsg::MixTable) with the output and row of the change and the level.
//
// The view holds one object and opens it with DoModal after setting m_pOwnerView and m_pTree;
// each opening builds the panels again from the records and the closing destroys them. There is
// no OK or Cancel: only the caption's close button closes it, and Enter, Esc and Tab never do.

#include "platform/WinCompat.h"

#include <QDialog>

#include <array>
#include <memory>

class CFontStatic;
class CKTV_Data;
class CReMap_Dlg;
class IPairMixPanel;

class CMixInPutCom : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 1014;
    static constexpr int kBackgroundChinese = 1020, kBackgroundEnglish = 1021;
    static constexpr int IDC_LABEL_FIRST = 2854;  // the twelve hidden source labels 2854..2865
    static constexpr COLORREF kFrameColour = RGB(238, 49, 64);
    static constexpr COLORREF kLabelGrey = RGB(122, 123, 122);

    explicit CMixInPutCom(QWidget *parent = nullptr);
    ~CMixInPutCom() override;

    // Set by the view before every opening.
    QWidget *m_pOwnerView = nullptr;
    CKTV_Data *m_pTree = nullptr;

    // Builds the panels, runs the dialog and destroys the panels again; the result is not used.
    int DoModal();
    // Makes the panels and pair panels from the records, as the opening does.
    void OnInitDialog();
    // Destroys the windows of the panels (the closing does it).
    void DestroyPanels();

    LRESULT OnReMapChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnReMapSelect(WPARAM wParam, LPARAM lParam);

    // ---- state (for the view and tests) ----
    CReMap_Dlg *Panel(int i) const;
    IPairMixPanel *PairPanel(int k) const;
    CFontStatic *SourceLabel(int i) const;
    int SelectedPanel() const { return m_nSelected; }
    static QRect FrameRect(int i);

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    std::array<CFontStatic *, 12> m_labels{};
    std::array<CReMap_Dlg *, 8> m_panels{};
    std::array<std::unique_ptr<IPairMixPanel>, 4> m_pairs;
    int m_nSelected = 0;
    int m_nLastSelected = 0;
};
