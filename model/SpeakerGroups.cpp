#include "model/SpeakerGroups.h"

#include "model/SpeakerType.h"

#include <algorithm>
#include <iterator>

SpeakerGroupTable g_SpeakerGroups;

namespace {

void ResetGroup(SpeakerGroup &g)
{
    g.state = -1;
    std::fill(std::begin(g.members), std::end(g.members), -1);
}

void ResetGroup(FrontSpeakerGroup &g)
{
    g.state = -1;
    g.pairingMode = -1;
    std::fill(std::begin(g.types), std::end(g.types), -1);
    std::fill(std::begin(g.members), std::end(g.members), -1);
}

int MemberCount(const int (&members)[10])
{
    return static_cast<int>(std::count_if(std::begin(members), std::end(members), [](int m) { return m >= 0; }));
}

void SettlePlainGroup(SpeakerGroup &g)
{
    const int n = MemberCount(g.members);
    if (n == 2 || n == 3)
        g.state = 0;
}

void SettleFrontGroup(FrontSpeakerGroup &g, int tweeter, int woofer)
{
    const int n = MemberCount(g.members);
    if (n == 2) {
        g.state = 0;
        const bool hasTweeter = g.types[0] == tweeter || g.types[1] == tweeter;
        const bool hasWoofer = g.types[0] == woofer || g.types[1] == woofer;
        if (!hasTweeter)
            g.pairingMode = 3;
        else
            g.pairingMode = hasWoofer ? 2 : 1;
    } else if (n == 3) {
        g.state = 0;
        g.pairingMode = 4;
    }
}

void AddFrontMember(FrontSpeakerGroup &g, int output, int type)
{
    g.members[output] = output;
    for (int &slot : g.types) {
        if (slot == -1) {
            slot = type;
            break;
        }
    }
}

} // namespace

void RebuildSpeakerGroups(const std::function<void()> &hideWindow)
{
    SpeakerGroupTable &t = g_SpeakerGroups;
    ResetGroup(t.centre);
    ResetGroup(t.frontLeft);
    ResetGroup(t.frontRight);
    ResetGroup(t.rearLeft);
    ResetGroup(t.rearRight);
    ResetGroup(t.subwoofer);

    for (int k = 0; k < kSpeakerOutputs; ++k) {
        const int type = GetWorkingSpeakerType(k);
        if (type == 19 || type == 20)
            t.centre.members[k] = k;
        else if (type >= 1 && type <= 5)
            AddFrontMember(t.frontLeft, k, type);
        else if (type >= 7 && type <= 11)
            AddFrontMember(t.frontRight, k, type);
        else if (type == 13 || type == 14)
            t.rearLeft.members[k] = k;
        else if (type == 16 || type == 17)
            t.rearRight.members[k] = k;
        else if (type == 22 || type == 23)
            t.subwoofer.members[k] = k;
    }

    SettlePlainGroup(t.centre);
    SettlePlainGroup(t.rearLeft);
    SettlePlainGroup(t.rearRight);
    SettlePlainGroup(t.subwoofer);
    SettleFrontGroup(t.frontLeft, 1, 3);
    SettleFrontGroup(t.frontRight, 7, 9);

    if (hideWindow)
        hideWindow();
}

SpeakerGroupView SpeakerGroupOfOutput(int output)
{
    SpeakerGroupTable &t = g_SpeakerGroups;
    const int type = GetWorkingSpeakerType(output);
    if (type == 19 || type == 20)
        return {&t.centre.state, t.centre.members};
    if (type >= 1 && type <= 5)
        return {&t.frontLeft.state, t.frontLeft.members};
    if (type >= 7 && type <= 11)
        return {&t.frontRight.state, t.frontRight.members};
    if (type == 13 || type == 14)
        return {&t.rearLeft.state, t.rearLeft.members};
    if (type == 16 || type == 17)
        return {&t.rearRight.state, t.rearRight.members};
    if (type == 22 || type == 23)
        return {&t.subwoofer.state, t.subwoofer.members};
    return {};
}
