#pragma once
// The link prompts: before two outputs are linked, which side's settings the pair takes over.
// CAll_Link_Dlg asks for the direction of the copy between the left and right channel of a pair;
// CCH_Link_Dlg (CH_Link_Dlg.h) asks which channel of the pair CH1/CH2, CH3/CH4 or CH5/CH6 is
// applied to both. Each returns IDOK or IDCANCEL from DoModal and, after IDOK, the index of the
// checked choice in m_nChoice; neither copies anything itself.
//
// CAll_Link_Dlg: choice 0 copies from left to right, choice 1 from right to left, in both
// languages (the radio texts say so).

#include "panels/input/TwoChoicePrompt.h"

class CTransparentStatic;

class CAll_Link_Dlg : public CTwoChoicePrompt {
    Q_OBJECT
public:
    static constexpr int IDD = 369;
    static constexpr int IDC_QUESTION = 2754, IDC_FIRST = 2251, IDC_SECOND = 2252;
    static constexpr int kLeftToRight = 0, kRightToLeft = 1;

    explicit CAll_Link_Dlg(QWidget *parent = nullptr);

    void OnInitDialog() override;

    CTransparentStatic *Question() const { return m_lblQuestion; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    CTransparentStatic *m_lblQuestion;
    bool m_bInitialised = false;
};
