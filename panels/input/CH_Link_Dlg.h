#pragma once
// Which channel of a pair (m_nPair 0: CH1/CH2, 1: CH3/CH4, 2: CH5/CH6) is applied to both. Set the
// pair before DoModal; after IDOK m_nChoice is 0 for the pair's first channel, 1 for its second.
// Another pair value leaves the choices without text under the caption "Link". The prompt's texts
// are English in both languages. See All_Link_Dlg.h.

#include "panels/input/TwoChoicePrompt.h"

class QLabel;

class CCH_Link_Dlg : public CTwoChoicePrompt {
    Q_OBJECT
public:
    static constexpr int IDD = 370;
    static constexpr int IDC_FIRST = 2259, IDC_SECOND = 2258;

    explicit CCH_Link_Dlg(QWidget *parent = nullptr);

    void OnInitDialog() override;

    int m_nPair = -1;  // none until the owner sets it

    QLabel *Question() const { return m_lblQuestion; }

private:
    QLabel *m_lblQuestion;
};
