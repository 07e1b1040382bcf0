// The crossover column of the output page: family, frequency and slope of the selected output's
// high-pass and low-pass filters, and the graph's reports when one of them is dragged.

#include "panels/output/OutputDlg.h"

#include "controls/ComBoxBtn.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/SpeakerType.h"
#include "panels/output/OutputEdits.h"
#include "platform/qt/Language.h"

namespace {

// The speaker types whose high-pass never goes below 20 Hz: the tweeters of the front left, front
// right, rear left, rear right and centre positions.
bool IsTweeterType(int type)
{
    return type == 1 || type == 7 || type == 13 || type == 16 || type == 19;
}

void Refill(CComBoxBtn *list, std::initializer_list<QString> items)
{
    const int sel = list->GetCurSel();
    list->ResetContent();
    for (const QString &item : items)
        list->AddString(item);
    list->SetCurSel(sel);
}

}  // namespace

void COutputDlg::FillFamilyLists()
{
    for (CComBoxBtn *list : {m_listHpfFamily, m_listLpfFamily})
        Refill(list, {QTr(StrId::OutFamilyLinkwitzRiley), QTr(StrId::FamilyButterworth), QTr(StrId::FamilyBessel)});
}

static void FillSlopes(CComBoxBtn *list)
{
    Refill(list, {QStringLiteral("6dB/Oct"), QStringLiteral("12dB/Oct"), QStringLiteral("18dB/Oct"),
                  QStringLiteral("24dB/Oct"), QStringLiteral("30dB/Oct"), QStringLiteral("36dB/Oct"),
                  QStringLiteral("42dB/Oct"), QStringLiteral("48dB/Oct"), QTr(StrId::Off)});
}

void COutputDlg::FillHpfSlopeList()
{
    FillSlopes(m_listHpfSlope);
}

void COutputDlg::FillLpfSlopeList()
{
    FillSlopes(m_listLpfSlope);
}

void COutputDlg::ShowCrossovers()
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    FillHpfSlopeList();
    const CFilter *hpf = out->GetHpf();
    const CFilter *lpf = out->GetLpf();
    m_spinHpf->SetPos(hpf->GetFreq());
    m_listHpfFamily->SetCurSel(hpf->GetFamily());
    m_listHpfSlope->SetCurSel(hpf->GetSlope());
    ColourGeqSliders();
    m_spinLpf->SetPos(lpf->GetFreq());
    m_listLpfFamily->SetCurSel(lpf->GetFamily());
    m_listLpfSlope->SetCurSel(lpf->GetSlope());
    m_nHpfFreq = hpf->GetFreq();
    m_nLpfFreq = lpf->GetFreq();
}

void COutputDlg::RefreshCrossovers()
{
    ShowCrossovers();
    RedrawGraph(-1);
}

LRESULT COutputDlg::OnFilterListSelect(int notifyId)
{
    switch (notifyId) {
    case NID_HPF_FAMILY: OnHpfFamilyChanged(); break;
    case NID_HPF_SLOPE: OnHpfSlopeChanged(); break;
    case NID_LPF_FAMILY: OnLpfFamilyChanged(); break;
    case NID_LPF_SLOPE: OnLpfSlopeChanged(); break;
    default: return 0;
    }
    HighlightBandLabel(0, false);
    return 0;
}

// One list pick: the code is the list index; an unchanged code changes no record but the graph
// item is redrawn and the output counts as modified.
void COutputDlg::ApplyCrossoverPick(bool highPass, bool slope)
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    CComBoxBtn *list = highPass ? (slope ? m_listHpfSlope : m_listHpfFamily) : (slope ? m_listLpfSlope : m_listLpfFamily);
    const int code = list->GetCurSel();
    CFilter *filter = highPass ? out->GetHpf() : out->GetLpf();
    const int limit = slope ? CFilter::kSlopeOff : CFilter::kFamilyBessel;
    if (code >= 0 && code <= limit && code != (slope ? filter->GetSlope() : filter->GetFamily())) {
        const auto apply = [&](CFilter &f) { slope ? f.SetSlope(code, 1) : f.SetFamily(code, 1); };
        apply(*filter);
        outedit::RepeatOnFollowers(g_nSelOutput.load(), highPass ? kItemHighPass : kItemLowPass, apply);
    }
    RedrawGraph(highPass ? kItemHighPass : kItemLowPass);
    MarkSelectedModified();
}

void COutputDlg::OnHpfFamilyChanged() { ApplyCrossoverPick(true, false); }
void COutputDlg::OnHpfSlopeChanged() { ApplyCrossoverPick(true, true); }
void COutputDlg::OnLpfFamilyChanged() { ApplyCrossoverPick(false, false); }
void COutputDlg::OnLpfSlopeChanged() { ApplyCrossoverPick(false, true); }

void COutputDlg::ApplyCrossoverFreq(bool highPass)
{
    CKTV_OutData *out = CurrentOutput();
    if (!out)
        return;
    CNumSpin *spin = highPass ? m_spinHpf : m_spinLpf;
    CFilter *filter = highPass ? out->GetHpf() : out->GetLpf();
    const CFilter *other = highPass ? out->GetLpf() : out->GetHpf();
    int f = spin->GetPos();
    if (highPass && IsTweeterType(GetWorkingSpeakerType(g_nSelOutput.load())) && f < 20) {
        f = 20;
        spin->SetPos(f);
    }
    if (f != filter->GetFreq()) {
        // The high-pass never passes the low-pass, nor the low-pass the high-pass; equal is allowed.
        if (highPass ? f > other->GetFreq() : f < other->GetFreq()) {
            f = other->GetFreq();
            spin->SetPos(f);
        }
        filter->SetFreq(f, 1);
        ColourGeqSliders();
        outedit::RepeatOnFollowers(g_nSelOutput.load(), highPass ? kItemHighPass : kItemLowPass,
                                   [f](CFilter &other) { other.SetFreq(f, 1); });
    }
    (highPass ? m_nHpfFreq : m_nLpfFreq) = filter->GetFreq();
    RedrawGraph(highPass ? kItemHighPass : kItemLowPass);
    HighlightBandLabel(0, false);
    MarkSelectedModified();
}

void COutputDlg::OnHpfFreqChanged() { ApplyCrossoverFreq(true); }
void COutputDlg::OnLpfFreqChanged() { ApplyCrossoverFreq(false); }

void COutputDlg::SyncCrossoverFromCurve(int item)
{
    CKTV_OutData *out = CurrentOutput();
    if (!out || (item != kItemHighPass && item != kItemLowPass))
        return;
    const bool highPass = item == kItemHighPass;
    HighlightBandLabel(0, false);
    const int f = (highPass ? out->GetHpf() : out->GetLpf())->GetFreq();
    (highPass ? m_spinHpf : m_spinLpf)->SetPos(f);
    (highPass ? m_nHpfFreq : m_nLpfFreq) = f;
    outedit::RepeatOnFollowers(g_nSelOutput.load(), item, [f](CFilter &other) { other.SetFreq(f, 1); });
    ColourGeqSliders();
    RedrawGraph(item);
    CNumEdit *edit = highPass ? m_editHpf : m_editLpf;
    if (m_pHighlightEdit && m_pHighlightEdit != edit)
        m_pHighlightEdit->SetHighlight(0);
    edit->SetHighlight(1);
    m_pHighlightEdit = edit;
    if (TakeGraphReleased())
        edit->setFocus(Qt::OtherFocusReason);
}
