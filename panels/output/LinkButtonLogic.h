#pragma once
// The link button of an output strip as a plain state machine: a single click links the output
// (rejoining its former group, joining the selected output's or the anchor's group, or starting a
// new group) or suspends its membership, a double click starts a new group anchored on the
// output, a right click takes the output out of its group. Joining first copies the group's
// settings onto the output. The memberships themselves are the link-group module's
// (model/LinkGroups.h); every change ends with the output's link-group byte stored in its
// limiter item of the current image, marked for sending.
//
// What it needs of the output page (channel buttons, the copy, the refresh) comes through
// ILinkButtonHost, so tests drive it without widgets. UI thread only; no Qt.

#include <array>

// The page side of a link-button press.
class ILinkButtonHost {
public:
    virtual ~ILinkButtonHost() = default;
    // The check state of an output strip's channel button, and setting it.
    virtual bool IsChannelButtonOn(int output) const = 0;
    virtual void SetChannelButton(int output, bool on) = 0;
    // The check state of an output strip's link button.
    virtual bool IsLinkButtonOn(int output) const = 0;
    // Silences (true) or restores (false) the outputs a copy from `source` reaches.
    virtual void MuteGroupForCopy(int source, bool mute) = 0;
    // Copies `source` to the other outputs of its link group (`target` has just joined it).
    virtual void CopyToLinkGroup(int source, int target) = 0;
    // The channel buttons of the outputs whose link value is `linkValue` follow one another.
    virtual void SyncGroupSelection(int output, int linkValue) = 0;
    // Reloads the page from the selected output (g_nSelOutput).
    virtual void RefreshChannel() = 0;
    // Redraws every curve of the response graph.
    virtual void RedrawGraph() = 0;

    // The link menu's commands, in the link-group editor's scheme of member bit masks. Without
    // a page behind them they do nothing.
    // The link mask of an output's strip.
    virtual int LinkMask(int output) const { return output >= 0 && output < 8 ? 1 << output : 0; }
    // An output's strip mask and its link value both become `mask`.
    virtual void SetEditorLink(int, int) {}
    // Runs the link-group editor for `output` in create (or join) mode.
    virtual void OpenLinkEditor(int, bool) {}
};

enum class LinkClick { Single, Double, Right };

// The button after a press: its check state and the link value whose badge it shows when on.
struct LinkPressResult {
    bool changed = false;  // false: the press did nothing (a right click on a clear button)
    bool checked = false;
    int linkValue = 0;
};

class CLinkButtonLogic {
public:
    static constexpr int kGroups = 10;  // group numbers 1..10
    static constexpr int kOutputs = 8;

    // Badge bitmaps by group index 0..11 (10 and 11 are never reached), and the plain link
    // bitmap shown for a value outside 1..10.
    static constexpr std::array<int, 12> kBadgesChinese{934, 939, 938, 932, 931, 936, 935, 930, 932, 931, 931, 931};
    static constexpr std::array<int, 12> kBadgesEnglish{944, 949, 948, 942, 941, 946, 945, 940, 942, 941, 941, 941};
    static constexpr int kPlainChinese = 890;
    static constexpr int kPlainEnglish = 892;

    // The checked bitmap of a link button whose output has `linkValue`: the group's badge for
    // 1..10, else the plain link bitmap (editor masks and stray values reach far past the table).
    static int BadgeBitmap(int linkValue, bool chinese);

    // One press of output `output`'s link button whose check state was `wasOn`.
    static LinkPressResult Press(ILinkButtonHost &host, int output, bool wasOn, LinkClick click);
};
