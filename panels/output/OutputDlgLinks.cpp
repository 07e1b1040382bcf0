// The output page's link groups and bridged pairs: the silenced copy that brings an output into
// its group, the channel buttons of a group, the link editor's groups, and pairing two outputs.
// The tables and the copies themselves are in LinkGroups and OutputEdits.
#include "panels/output/OutputDlg.h"

#include "app/Services.h"
#include "model/LinkGroups.h"
#include "panels/output/OutputEdits.h"

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

void COutputDlg::SyncGroupSelection(int, int)
{
    // The channel buttons belong to the strips; the selection of the group follows the records.
    RedrawGraph(-1);
}

LRESULT COutputDlg::OnLinkDlgApply(int a, int)
{
    if (!ValidOutput(a))
        return 0;
    outedit::CopyToLinkGroupMuted(m_sends, a);
    RefreshChannel();
    return 0;
}

void COutputDlg::PairChannels(int a, int b)
{
    if (b != a + 1 || !outedit::PairOutputs(m_sends, a))
        return;
    RedrawGraph(-1);
    RefreshChannel();
    update();
}

void COutputDlg::UnpairChannels(int a, int b, bool select)
{
    if (b != a + 1 || !outedit::UnpairOutputs(a))
        return;
    // The second output's polarity returns to normal.
    outedit::EditStripPhase(b, 0);
    if (select)
        g_nSelOutput = a;
    RefreshChannel();
    update();
}

LRESULT COutputDlg::OnStripPaste(int source, int target)
{
    if (!ValidOutput(source) || !ValidOutput(target))
        return 0;
    m_sends.CopyOutputChannelLimited(source, target);
    RefreshChannel();
    return 0;
}
