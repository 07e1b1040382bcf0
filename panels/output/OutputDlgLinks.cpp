// The output page's link groups and bridged pairs: the silenced copy that brings an output into
// its group, the channel buttons of a group, the link editor's groups, and pairing two outputs.
// The tables and the copies themselves are in LinkGroups and OutputEdits.
#include "panels/output/OutputDlg.h"

#include "services/Services.h"
#include "controls/BitButton.h"
#include "controls/NumEdit.h"
#include "model/KTV_OutData.h"
#include "model/LinkGroups.h"
#include "panels/output/BTLRouteDlg.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutputEdits.h"
#include "platform/GlobalData.h"
#include "platform/qt/WindowMessages.h"

namespace {

bool ValidOutput(int c) { return c >= 0 && c < COutputDlg::kOutputs; }

}  // namespace

void COutputDlg::MuteGroupForCopy(int source, bool mute)
{
    outedit::MuteGroupForCopy(m_sends, source, mute);
}

void COutputDlg::CopyToLinkGroup(int source, int)
{
    // A source without a link value has no group: nothing is copied.
    outedit::CopyToLinkGroup(m_sends, source);
}

void COutputDlg::SyncGroupSelection(int, int linkValue)
{
    if (linkValue == 0)
        return;
    bool on = false;
    for (int i = 0; i < kOutputs; ++i)
        on = on || (LinkValueOf(i) == linkValue && m_strips[std::size_t(i)]->ChannelButton()->GetCheck());
    for (int i = 0; i < kOutputs; ++i)
        if (LinkValueOf(i) == linkValue)
            m_strips[std::size_t(i)]->SetSelected(on ? 1 : 0);
}

void COutputDlg::SetEditorLink(int output, int mask)
{
    if (!ValidOutput(output))
        return;
    m_strips[std::size_t(output)]->SetLinkMask(mask);
    if (LinkValueOf(output) == mask)
        return;
    SetEditorLinkValue(output, mask);
    StoreLinkValue(output);
}

void COutputDlg::ApplyLinkMasksToStrips(int a, int m, int, int mb)
{
    const CKTV_OutData *source = outedit::Output(a);
    for (int i = 0; i < kOutputs; ++i)
        if (i != a && ((m >> i) & 1) && source)
            m_strips[std::size_t(i)]->SetGain(source->GetGain());
    for (int i = 0; i < kOutputs; ++i)
        m_strips[std::size_t(i)]->SetSelected((mb >> i) & 1);
}

LRESULT COutputDlg::OnLinkDlgApply(int a, int b)
{
    if (!ValidOutput(a))
        return 0;
    // The strips' masks become the link values; an output whose value changed has it stored.
    for (int i = 0; i < kOutputs; ++i) {
        const int mask = m_strips[std::size_t(i)]->GetLinkMask();
        if (LinkValueOf(i) != mask) {
            SetEditorLinkValue(i, mask);
            StoreLinkValue(i);
        }
    }
    const int m = m_strips[std::size_t(a)]->GetLinkMask();
    outedit::CopyToLinkGroupMuted(m_sends, a);
    RefreshChannel();
    if (ValidOutput(b))
        ApplyLinkMasksToStrips(a, m, b, m_strips[std::size_t(b)]->GetLinkMask());
    else
        SyncGroupSelection(a, m);
    return 0;
}

void COutputDlg::PairChannels(int a, int b)
{
    const bool secondWasSelected = g_nSelOutput.load() == b;
    if (b != a + 1 || !outedit::PairOutputs(m_sends, a))
        return;
    // The pair answers to its first output.
    if (secondWasSelected)
        for (int i = 0; i < kOutputs; ++i)
            m_strips[std::size_t(i)]->SetSelected(i == a ? 1 : 0);
    RedrawGraph(-1);
    RefreshChannel();
    // Both outputs have left their link groups.
    m_strips[std::size_t(a)]->LinkButton()->SetCheck(0);
    m_strips[std::size_t(b)]->LinkButton()->SetCheck(0);
    if (g_nSelOutput.load() == a) {
        for (int i = 0; i < kOutputs; ++i)
            if (i != a)
                m_strips[std::size_t(i)]->SetSelected(0);
    } else {
        m_strips[std::size_t(a)]->SetSelected(0);
    }
    update();
}

void COutputDlg::UnpairChannels(int a, int b, bool select)
{
    if (b != a + 1 || !outedit::UnpairOutputs(a))
        return;
    m_strips[std::size_t(b)]->show();
    // The second output's polarity returns to normal.
    outedit::EditStripPhase(b, 0);
    if (select) {
        g_nSelOutput = a;
        for (int i = 0; i < kOutputs; ++i)
            m_strips[std::size_t(i)]->SetSelected(i == a ? 1 : 0);
    }
    RefreshChannel();
    m_strips[std::size_t(a)]->LinkButton()->SetCheck(0);
    update();
}

void COutputDlg::MakePairButtons()
{
    // Left to right as the template has them: pairs 0, 2, 1, 3, 4.
    static constexpr int kPlaceOrder[kPairButtons] = {0, 2, 1, 3, 4};
    static constexpr int kPairIds[kPairButtons] = {4702, 4700, 4701, 4703, 4704};
    for (int n = 0; n < kPairButtons; ++n) {
        const int k = kPlaceOrder[n];
        auto *b = new CBitButton(this, kPairIds[k]);
        b->SetBitmaps(952, 953, 954, 954, 954, 952);
        b->move(18 + n * 70 / (kPairButtons - 1) - b->width() / 2, 559);
        b->setEnabled(false);
        b->hide();
        m_btnPair[std::size_t(k)] = b;
    }
}

int COutputDlg::PairOfButton(int id) const
{
    for (int k = 0; k < kPairButtons; ++k)
        if (GetCtrlId(m_btnPair[std::size_t(k)]) == id)
            return k;
    return -1;
}

QRect COutputDlg::PairPanelRect(int k)
{
    if (k >= 0 && 2 * k + 1 < kOutputs)
        return StripRect(2 * k + 1);
    return QRect(kWidth - StripRect(0).width(), StripRect(0).top(), StripRect(0).width(), StripRect(0).height());
}

CBTLRouteDlg *COutputDlg::PairPanel(int k) const
{
    if (k < 0 || k >= kPairButtons)
        return nullptr;
    CBTLRouteDlg *panel = m_pairPanels[std::size_t(k)];
    return panel ? panel : const_cast<COutputDlg *>(this)->MakePairPanel(k);
}

CBTLRouteDlg *COutputDlg::MakePairPanel(int k)
{
    // Backgrounds of panel k: Chinese, English.
    static constexpr int kBackgrounds[kPairButtons][2] = {{963, 968}, {960, 965}, {961, 966}, {959, 964}, {962, 967}};
    auto *panel = new CBTLRouteDlg(this);
    panel->hide();
    panel->setGeometry(PairPanelRect(k));
    panel->SetBackgrounds(kBackgrounds[k][0], kBackgrounds[k][1]);
    m_pairPanels[std::size_t(k)] = panel;
    ApplyPairPanelLanguage(k);
    return panel;
}

CBTLRouteDlg *COutputDlg::PairPanelOf(int c) const
{
    return BridgedPartner(c) >= 0 ? PairPanel(c / 2) : nullptr;
}

void COutputDlg::RefreshPairPanel(int k)
{
    CBTLRouteDlg *panel = PairPanel(k);
    const int a = 2 * k;
    CKTV_OutData *out = panel && a + 1 < kOutputs ? outedit::Output(a) : nullptr;
    if (!out)
        return;
    // Rows 1..8 are the line sources, 9 and 10 the first two extra levels; 11 and 12 stay empty.
    for (int r = 0; r < 8; ++r)
        panel->SetSourceMark(r, out->GetGroup33Byte(r) != 0);
    panel->SetSourceMark(8, out->GetExtra0() != 0);
    panel->SetSourceMark(9, out->GetExtra1() != 0);
    panel->SetSourceMark(10, false);
    panel->SetSourceMark(11, false);
    const COutRoute_Dlg *strip = m_strips[std::size_t(a)];
    panel->SetGainText(strip->GainEdit()->text());
    panel->SetGain(out->GetGain());
    panel->SetDelayText(strip->DelayEdit()->text());
    panel->SetPolarity(out->GetPolarity());
    panel->SetOn(out->GetOn());
}

void COutputDlg::OnPairButton(int k)
{
    // The fifth button would pair outputs 8 and 9, which the page does not have.
    if (k < 0 || k >= kPairButtons || 2 * k + 1 >= kOutputs)
        return;
    CBitButton *button = m_btnPair[std::size_t(k)];
    CBTLRouteDlg *panel = PairPanel(k);
    const int a = 2 * k, b = a + 1;
    // A pair shows as its first strip and, in the second strip's place, the pair panel.
    if (button->GetCheck()) {
        panel->hide();
        UnpairChannels(a, b, true);
    } else {
        PairChannels(a, b);
        RefreshPairPanel(k);
        m_strips[std::size_t(b)]->hide();
        panel->show();
    }
    button->SetCheck(button->GetCheck() ? 0 : 1);
    if (k == 0)
        repaint();
}

LRESULT COutputDlg::OnStripPaste(int source, int target)
{
    if (!ValidOutput(source) || !ValidOutput(target))
        return 0;
    m_sends.CopyOutputChannelLimited(source, target);
    RefreshChannel();
    return 0;
}
