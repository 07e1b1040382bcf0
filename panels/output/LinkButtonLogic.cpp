#include "panels/output/LinkButtonLogic.h"

#include "model/DeviceImage.h"
#include "model/LinkGroups.h"

namespace {

bool validOutput(int c) { return c >= 0 && c < CLinkButtonLogic::kOutputs; }

// Channel buttons when c stops following its group: its own off, or every other one off when c
// is the selected output.
void clearChannelButtons(ILinkButtonHost &host, int c)
{
    if (c != g_nSelOutput.load()) {
        host.SetChannelButton(c, false);
        return;
    }
    for (int j = 0; j < CLinkButtonLogic::kOutputs; ++j)
        if (j != c)
            host.SetChannelButton(j, false);
}

// c, which has just taken s's link value, receives the group's settings from s.
void copyFrom(ILinkButtonHost &host, int s, int c)
{
    host.MuteGroupForCopy(s, true);
    host.CopyToLinkGroup(s, c);
    host.MuteGroupForCopy(s, false);
    host.SyncGroupSelection(s, LinkValueOf(c));
    g_bAnyLink.store(1);
    host.RedrawGraph();
}

// c alone shows its channel button, becomes the selected output and the page shows it.
void selectAlone(ILinkButtonHost &host, int c)
{
    for (int j = 0; j < CLinkButtonLogic::kOutputs; ++j)
        host.SetChannelButton(j, j == c);
    g_nSelOutput.store(c);
    host.RefreshChannel();
}

// A source whose group can be joined: another output that is linked.
bool joinable(int s, int c) { return validOutput(s) && s != c && LinkValueOf(s) != 0; }

}  // namespace

int CLinkButtonLogic::BadgeBitmap(int value, bool chinese)
{
    if (value < 1 || value > kGroups)
        return chinese ? kPlainChinese : kPlainEnglish;
    return (chinese ? kBadgesChinese : kBadgesEnglish)[static_cast<std::size_t>(value - 1)];
}

LinkPressResult CLinkButtonLogic::Press(ILinkButtonHost &host, int c, bool wasOn, LinkClick click)
{
    LinkPressResult r;
    if (!validOutput(c))
        return r;
    if (click == LinkClick::Right && !wasOn)
        return r;  // nothing to leave, nothing sent
    r.changed = true;
    const int sel = g_nSelOutput.load();

    if (click == LinkClick::Right) {
        clearChannelButtons(host, c);
        LeaveLinkGroup(c, true);
        r.checked = false;
    } else if (!wasOn && click == LinkClick::Double) {
        JoinNewLinkGroup(c, true);
        selectAlone(host, c);
        r.checked = true;
    } else if (!wasOn) {
        const bool suspended = g_LinkSuspend[static_cast<std::size_t>(c)].suspended.load() != 0;
        const bool edited = g_ChannelModified[static_cast<std::size_t>(c)].load() != 0;
        if (suspended && !edited) {
            // Back into the group it suspended, with the settings of its first active member;
            // a group left without an active member is not rejoined: a new group instead.
            const int source = RejoinLinkGroup(c);
            if (source >= 0) {
                copyFrom(host, source, c);
                const int v = LinkValueOf(c);
                bool anyOn = false;
                for (int i = 0; i < kOutputs; ++i)
                    anyOn = anyOn || (LinkValueOf(i) == v && host.IsChannelButtonOn(i));
                if (anyOn)
                    for (int i = 0; i < kOutputs; ++i)
                        if (LinkValueOf(i) == v)
                            host.SetChannelButton(i, true);
            } else {
                JoinNewLinkGroup(c, true);
            }
        } else if (joinable(sel, c) && host.IsLinkButtonOn(sel)) {
            JoinLinkGroup(c, LinkValueOf(sel));
            copyFrom(host, sel, c);
        } else if (c != sel && g_bLinkAnchor.load() && joinable(g_nLinkAnchorChannel.load(), c)) {
            const int a = g_nLinkAnchorChannel.load();
            JoinLinkGroup(c, LinkValueOf(a));
            copyFrom(host, a, c);
        } else {
            JoinNewLinkGroup(c, true);
        }
        r.checked = true;
    } else if (click == LinkClick::Double) {
        MoveToNewLinkGroup(c);
        selectAlone(host, c);
        r.checked = true;
    } else {
        clearChannelButtons(host, c);
        SuspendLinkGroup(c);
        r.checked = false;
    }
    StoreLinkValue(c);
    r.linkValue = LinkValueOf(c);
    return r;
}
