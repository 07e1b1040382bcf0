// The output page's speaker-position buttons and the link looks the view gives the strips.
//
// The 24 speaker-position buttons, one per speaker type, stay hidden: every device read hides and
// unchecks them. Their checks still follow the selection and its link group, and each knows the
// output that has its type, so a press selects that output.

#include "panels/output/OutputDlg.h"

#include "controls/BitButton.h"
#include "controls/BtnPng.h"
#include "model/SpeakerType.h"
#include "panels/output/CFStatic.h"
#include "panels/output/LinkButtonLogic.h"
#include "panels/output/OutRoute_Dlg.h"
#include "model/LinkGroups.h"
#include "platform/GlobalData.h"

#include <algorithm>
#include <span>

namespace {

struct SpeakerButtonSpec {
    int id;
    int image;  // normal; hover and pressed are the next two ids
};

// By speaker type 1..24 (entry 0 unused).
constexpr std::array<SpeakerButtonSpec, COutputDlg::kSpeakerTypes + 1> kSpeakerButtons{{
    {0, 0},
    {4605, 7100}, {4604, 7103}, {4603, 7106}, {4606, 7103}, {4607, 7103}, {4608, 7103},  // front left
    {4611, 7110}, {4610, 7113}, {4609, 7116}, {4612, 7113}, {4613, 7113}, {4614, 7113},  // front right
    {4616, 7100}, {4615, 7106}, {4619, 7106},                                            // rear left
    {4618, 7110}, {4617, 7116}, {4620, 7116},                                            // rear right
    {4601, 7120}, {4600, 7123}, {4602, 7123},                                            // centre
    {4621, 585},  {4622, 588},  {4623, 582},                                             // subwoofers
}};

// The cluster: front speakers with the centre between them, the rear ones with the subwoofers
// between them, left to right.
constexpr int kFrontRow[] = {1, 2, 3, 4, 5, 6, 19, 20, 21, 7, 8, 9, 10, 11, 12};
constexpr int kRearRow[] = {13, 14, 15, 22, 23, 24, 16, 17, 18};
constexpr QPoint kClusterOrigin{270, 75};
constexpr int kClusterGap = 2;

bool ValidOutput(int c) { return c >= 0 && c < COutputDlg::kOutputs; }

}  // namespace

int COutputDlg::SpeakerButtonId(int type)
{
    return type >= 1 && type <= kSpeakerTypes ? kSpeakerButtons[std::size_t(type)].id : 0;
}

int COutputDlg::SpeakerTypeOfButton(int id)
{
    for (int t = 1; t <= kSpeakerTypes; ++t)
        if (kSpeakerButtons[std::size_t(t)].id == id)
            return t;
    return 0;
}

void COutputDlg::MakeSpeakerButtons()
{
    for (int t = 1; t <= kSpeakerTypes; ++t) {
        const SpeakerButtonSpec &spec = kSpeakerButtons[std::size_t(t)];
        auto *b = new CBtnPng(this, spec.id);
        b->LoadImages(spec.image, spec.image + 1, spec.image + 2);
        // Checked, the button keeps its pressed look.
        b->LoadCheckedImages(spec.image + 2, spec.image + 2, spec.image + 2);
        m_btnSpeaker[std::size_t(t)] = b;
    }
    int y = kClusterOrigin.y();
    for (std::span<const int> row : {std::span<const int>(kFrontRow), std::span<const int>(kRearRow)}) {
        int x = kClusterOrigin.x(), rowHeight = 0;
        for (int t : row) {
            CBtnPng *b = m_btnSpeaker[std::size_t(t)];
            b->move(x, y);
            x += b->width() + kClusterGap;
            rowHeight = std::max(rowHeight, b->height());
        }
        y += rowHeight + kClusterGap;
    }
    HideSpeakerButtons();
}

void COutputDlg::AssignSpeakerButtons()
{
    for (int t = 1; t <= kSpeakerTypes; ++t)
        m_btnSpeaker[std::size_t(t)]->SetUserValue(-1);
    // Types are unique among the outputs; should two share one, the first keeps the button.
    for (int i = kOutputs - 1; i >= 0; --i)
        if (CBtnPng *b = SpeakerButton(GetWorkingSpeakerType(i)))
            b->SetUserValue(i);
}

void COutputDlg::HideSpeakerButtons()
{
    for (int t = 1; t <= kSpeakerTypes; ++t) {
        CBtnPng *b = m_btnSpeaker[std::size_t(t)];
        b->SetCheck(0);
        b->ShowWindow(SW_HIDE);
    }
}

void COutputDlg::CheckSpeakerButton(int type, bool check)
{
    if (CBtnPng *b = SpeakerButton(type))
        b->SetCheck(check ? 1 : 0);
}

void COutputDlg::CheckLinkedSpeakerButtons(int c) { SetLinkedSpeakerButtons(c, true); }

void COutputDlg::UncheckLinkedSpeakerButtons(int c) { SetLinkedSpeakerButtons(c, false); }

void COutputDlg::SetLinkedSpeakerButtons(int c, bool check)
{
    const int link = LinkValueOf(c);
    if (!ValidOutput(c) || link == 0)
        return;
    for (int i = 0; i < kOutputs; ++i) {
        if (i == c || LinkValueOf(i) != link)
            continue;
        RedrawGraph(-1);
        CheckSpeakerButton(GetWorkingSpeakerType(i), check);
    }
}

void COutputDlg::OnSpeakerButton(int type)
{
    CBtnPng *b = SpeakerButton(type);
    if (!b)
        return;
    const int sel = g_nSelOutput.load();
    if (b->GetCheck() && (type == SPK_SUBWOOFER || b->GetUserValue() == sel))
        return;
    // A button whose type no output has stands for no output.
    const int target = b->GetUserValue();
    if (!ValidOutput(target))
        return;
    CheckSpeakerButton(GetWorkingSpeakerType(sel), false);
    UncheckLinkedSpeakerButtons(sel);
    g_nSelOutput = target;
    CheckSpeakerButton(GetWorkingSpeakerType(target), true);
    RefreshChannel();
}

// ---- link looks from the view ----------------------------------------------------------------------

void COutputDlg::ShowChannelAssignments(const std::array<StripLinkLook, kStripCount> &looks)
{
    const bool cn = g_bChinese.load() != 0;
    for (int i = 0; i < kOutputs; ++i) {
        COutRoute_Dlg *strip = m_strips[std::size_t(i)];
        const StripLinkLook &look = looks[std::size_t(i)];
        strip->SetSelected(0);
        strip->SetLinkMask(look.linkValue);
    }
    for (int i = 0; i < kOutputs; ++i)
        if (looks[std::size_t(i)].selected)
            m_strips[std::size_t(i)]->SetSelected(1);
    for (int i = 0; i < kOutputs; ++i) {
        const int group = looks[std::size_t(i)].group;
        const bool linked = group >= 0 && group < kLinkGroupCount;
        CBitButton *button = m_strips[std::size_t(i)]->LinkButton();
        // Only a group number has a badge; any other value shows the plain link look.
        button->SetCheckedBitmap(linked ? CLinkButtonLogic::BadgeBitmap(group + 1, cn)
                                        : (cn ? CLinkButtonLogic::kPlainChinese : CLinkButtonLogic::kPlainEnglish));
        button->SetCheck(linked ? 1 : 0);
    }
    RedrawGraph(-1);
}
