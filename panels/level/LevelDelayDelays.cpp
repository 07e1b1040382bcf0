// The level page's delay area: the car picture's speaker icons, each output's delay beside its
// speaker, the delay unit and the toggles that lock the delays of paired speakers.
#include "panels/level/LevelDelayDlg.h"

#include "controls/BitButton.h"
#include "controls/CtrlMessages.h"
#include "controls/BtnPng.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SpinBtn.h"
#include "model/DelayMath.h"
#include "model/KTV_OutData.h"
#include "model/SpeakerGroups.h"
#include "model/SpeakerType.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"

#include <algorithm>

using namespace levelpage;

void CLevel_Delay_Dlg::InitDelayControls()
{
    for (int k = 0; k < kDelayPositions; ++k) {
        auto *edit = Make<CNumEdit>(IDC_DELAY_EDIT + k);
        const DluBox b = DelayEditBox(k);
        edit->setGeometry(Dlu(b.x, b.y, b.w, b.h));
        static const QFont font = MakeFont(QStringLiteral("Arial"), -12);
        edit->setFont(font);
        edit->setAlignment(Qt::AlignCenter);
        edit->setMaxLength(10);
        edit->installEventFilter(this);
        auto *spin = Make<CNumSpin>(IDC_DELAY_SPIN + k);
        edit->CreateSpinButton(IDC_DELAY_STEP_BUTTON + k);
        if (CSpinBtn *step = edit->GetSpinButton())
            step->SetBitmaps(800, 801, 802, 803);
        edit->AttachSpin(IDC_DELAY_SPIN + k, spin);
        edit->SetType(m_nDelayUnit - 1, QString());
        spin->SetBuddy(edit);
        spin->SetRange(0, 960);
        spin->SetMode(2);
        spin->hide();
        edit->SetValue(0);
        edit->hide();
    }
    // Speaker icons, one per type; types that share a position share its edit, not its icon.
    for (int t = 1; t <= kSpeakerTypes; ++t) {
        const SpeakerPlace *place = PlaceOfType(t);
        auto *icon = Make<CBtnPng>(place->icon);
        icon->LoadImages(place->images[0], place->images[1], place->images[2]);
        icon->LoadCheckedImages(place->images[3], place->images[3], place->images[3]);
        icon->EnableMoveNotify(1);
        icon->move(Dlu(place->x, place->y, 1, 1).topLeft());
        icon->ShowWindow(SW_HIDE);
    }
    m_centrePlaces = {Control(6052)->geometry(), Control(6053)->geometry(), Control(IDC_DELAY_EDIT + 6)->geometry(),
                      Control(IDC_DELAY_EDIT + 7)->geometry()};
    for (const ToggleSpec &t : Toggles()) {
        auto *toggle = Make<CBtnPng>(t.id);
        toggle->LoadImages(t.images[0], t.images[1], t.images[2]);
        toggle->LoadCheckedImages(t.images[3], t.images[4], t.images[5]);
        toggle->move(Dlu(t.x, t.y, 1, 1).topLeft());
        toggle->ShowWindow(SW_HIDE);
    }
    for (int u = 0; u < 3; ++u) {
        auto *button = Make<CBitButton>(IDC_UNIT_MS + u);
        button->move(Dlu(231, 323 + 12 * u, 50, 9).topLeft());
    }
}

void CLevel_Delay_Dlg::AssignDelayPosition(int output, int type)
{
    if (!Valid(output))
        return;
    DelayPos &entry = m_delayPos[std::size_t(output)];
    if (type == 0) {
        entry = DelayPos{};
        return;
    }
    const SpeakerPlace *place = PlaceOfType(type);
    if (!place)
        return;
    CNumEdit *edit = Edit(IDC_DELAY_EDIT + place->delay);
    CNumSpin *spin = Spin(IDC_DELAY_SPIN + place->delay);
    CBtnPng *icon = Png(place->icon);
    // When two outputs name one position, the later one owns the step control.
    spin->SetTag(output);
    edit->ShowWindow(SW_SHOW);
    icon->ShowWindow(SW_SHOW);
    entry = DelayPos{edit, spin, icon};
    if (type >= 19 && type <= 21) {
        Control(6052)->setGeometry(m_centrePlaces[0]);
        Control(6053)->setGeometry(m_centrePlaces[1]);
        Control(IDC_DELAY_EDIT + 6)->setGeometry(m_centrePlaces[2]);
        Control(IDC_DELAY_EDIT + 7)->setGeometry(m_centrePlaces[3]);
    }
}

void CLevel_Delay_Dlg::OnDelayChanged(int k)
{
    CNumSpin *spin = Spin(IDC_DELAY_SPIN + k);
    const int i = spin ? spin->GetTag() : -1;
    CKTV_OutData *out = Out(i);
    CNumSpin *own = DelaySpinOf(i);
    if (!out || !own)
        return;
    const int v = own->GetPos();
    if (out->GetDelay() != v)
        out->SetDelay(v);
    SelectOutput(i);
}

void CLevel_Delay_Dlg::OnDelayStep(int spinId, int delta)
{
    CNumSpin *stepped = Spin(spinId);
    const int i = stepped ? stepped->GetTag() : -1;
    if (!Valid(i))
        return;
    const SpeakerPlace *place = PlaceOfType(GetWorkingSpeakerType(i));
    if (!place || place->group == LockGroup::None)
        return;
    const GroupRef group = GroupOf(g_SpeakerGroups, place->group);
    if (!group.state || *group.state != 1)
        return;
    for (int k = 0; k < kOutputs; ++k) {
        const int d = group.members[k];
        if (d < 0 || d >= kOutputs || d == i)
            continue;
        CNumSpin *s = DelaySpinOf(d);
        CKTV_OutData *out = Out(d);
        if (!s || !out)
            continue;
        int v = s->GetPos();
        switch (s->GetBuddyType()) {
        case 0: v += delta; break;
        case 1: v = StepDelayCm(v, delta); break;
        case 2: v = StepDelayInch(v, delta); break;
        default: break;
        }
        v = std::clamp(v, 0, 960);
        if (out->GetDelay() != v) {
            out->SetDelay(v);
            s->SetPos(v);
        }
    }
}

void CLevel_Delay_Dlg::SetDelayUnit(int unit)
{
    static constexpr int kButtons[3] = {IDC_UNIT_MS, IDC_UNIT_CM, IDC_UNIT_INCH};
    if (m_nDelayUnit >= 1 && m_nDelayUnit <= 3)
        Button(kButtons[m_nDelayUnit - 1])->SetCheck(0);
    m_nDelayUnit = unit;
    if (unit < 1 || unit > 3)
        return;
    Button(kButtons[unit - 1])->SetCheck(1);
    for (int k = 0; k < kDelayPositions; ++k)
        Edit(IDC_DELAY_EDIT + k)->SetType(unit - 1, QString());
}

void CLevel_Delay_Dlg::OnUnitButton(int id)
{
    const int unit = id - IDC_UNIT_MS + 1;
    if (unit == 1 && m_nDelayUnit == 1)
        return;
    SetDelayUnit(unit);
    SelectOutput(-1);
}

void CLevel_Delay_Dlg::OnSpeakerIcon(int iconId)
{
    for (int i = 0; i < kOutputs; ++i) {
        const DelayPos &entry = m_delayPos[std::size_t(i)];
        if (!entry.icon || GetCtrlId(entry.icon) != iconId)
            continue;
        SelectOutput(entry.spin->GetTag());
        entry.edit->setFocus(Qt::MouseFocusReason);
    }
}

void CLevel_Delay_Dlg::LockDelayGroup(const int *members, int lock)
{
    if (!members)
        return;
    for (int k = 0; k < kOutputs; ++k) {
        const int d = members[k];
        if (d >= 0 && d < kOutputs)
            if (CNumEdit *edit = DelayEditOf(d))
                edit->SetReadOnly(lock);
    }
}

void CLevel_Delay_Dlg::RefreshDelayLocks()
{
    for (const ToggleSpec &t : Toggles())
        Png(t.id)->ShowWindow(SW_HIDE);
    for (LockGroup g : {LockGroup::Centre, LockGroup::FrontLeft, LockGroup::FrontRight, LockGroup::RearLeft,
                        LockGroup::RearRight, LockGroup::Subwoofer}) {
        const GroupRef group = GroupOf(g_SpeakerGroups, g);
        const int state = *group.state;
        if (state != 0 && state != 1)
            continue;
        if (const int id = ToggleOf(g, group.kind)) {
            CBtnPng *toggle = Png(id);
            toggle->SetCheck(state);
            toggle->ShowWindow(SW_SHOW);
        }
        if (state == 1)
            LockDelayGroup(group.members, 1);
    }
}

void CLevel_Delay_Dlg::OnLockToggle(int toggleId)
{
    const ToggleSpec *spec = ToggleById(toggleId);
    if (!spec)
        return;
    const GroupRef group = GroupOf(g_SpeakerGroups, spec->group);
    // A group that cannot lock shows no toggle.
    if (!group.state || (*group.state != 0 && *group.state != 1))
        return;
    const int state = *group.state == 1 ? 0 : 1;
    *group.state = state;
    LockDelayGroup(group.members, state);
    // The front groups check the toggle of their current kind; the kind-4 toggle checks itself.
    int shown = toggleId;
    if (spec->kind != 0 && spec->kind != 4)
        shown = ToggleOf(spec->group, group.kind);
    if (CBtnPng *toggle = Png(shown))
        toggle->SetCheck(state);
    SelectOutput(-1);
}
