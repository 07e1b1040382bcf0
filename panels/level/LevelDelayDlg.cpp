// The level and delay page's frame: its controls at the template's places, the message map, the
// painting, the page-wide refresh and language switch, the keyboard walk and the current-output
// mark.
#include "panels/level/LevelDelayDlg.h"

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/BtnPng.h"
#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SLamp.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/Music_InData.h"
#include "model/SpeakerType.h"
#include "panels/level/LevelDelaySkins.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>

using namespace levelpage;

namespace {

// The top of the master and input faders: under the areas' title bars.
constexpr int kFaderTop = 28;

}  // namespace

// ---- construction --------------------------------------------------------------------------------

CLevel_Delay_Dlg::CLevel_Delay_Dlg(IDeviceSync &sync, QWidget *parent) : QWidget(parent), m_sync(sync)
{
    setObjectName(QStringLiteral("LevelDelayDlg"));
    RegisterLevelPageSkins();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    resize(kWidth, kHeight);
    m_table = CMessageTable::Ensure(this);

    auto *indicator = Make<CBitButton>(IDC_LINK_INDICATOR);
    indicator->SetDisabledBitmaps(710, 710);
    indicator->setEnabled(false);
    indicator->move(Dlu(355, 134, 20, 7).topLeft());
    indicator->hide();

    InitLevelControls();
    InitInputColumns();
    InitDelayControls();
    InstallMessageMap();
    for (int i = 0; i < kOutputs; ++i)
        Meter(i)->Clear();
    SwitchLanguage();
}

CLevel_Delay_Dlg::~CLevel_Delay_Dlg() = default;

QRect CLevel_Delay_Dlg::Dlu(int x, int y, int w, int h)
{
    // The template's units, scaled so the page fills the main view's tab: 1.4 pixels across and
    // 1.7 down per unit. Edges are converted, so neighbours keep their gaps.
    const auto px = [](int v, int num, int den) { return int(std::lround(double(v) * num / den)); };
    const int l = px(x, 7, 5), t = px(y, 17, 10), r = px(x + w, 7, 5), b = px(y + h, 17, 10);
    return QRect(l, t, r - l, b - t);
}

QWidget *CLevel_Delay_Dlg::Adopt(QWidget *w, int id)
{
    SetCtrlId(w, id);
    m_controls[id] = w;
    return w;
}

void CLevel_Delay_Dlg::InitLevelControls()
{
    // Master: step control, edit, fader and switch.
    auto *masterEdit = Make<CNumEdit>(IDC_MASTER_EDIT);
    masterEdit->setGeometry(Dlu(231, 91, 42, 10));
    masterEdit->SetScale(1.0);
    masterEdit->SetOffset(60.0);
    masterEdit->SetType(25, QString());
    auto *masterSpin = Make<CNumSpin>(IDC_MASTER_SPIN);
    masterSpin->SetBuddy(masterEdit);
    masterSpin->SetRange(0, 66);
    masterSpin->hide();
    auto *masterFader = Make<CBitmapSlider>(IDC_MASTER_FADER);
    masterFader->SetChannelBitmaps(357, 357, 0);
    masterFader->SetThumbBitmaps(358, 282, 1, CBitmapSlider::kKeyFromPixel, 0, 0);
    masterFader->SetRange(0, 66);
    masterFader->SetMargin(38, 0, 1, 2);
    masterFader->SetBuddyEdit(masterEdit);
    masterFader->EnableMoveNotify(1);
    masterEdit->SetLinkedWnd(masterFader);
    auto *masterSwitch = Make<CBitButton>(IDC_MASTER_SWITCH);
    masterSwitch->EnableMoveNotify(1);
    // Its skins come with the language; it has their size now, so it is centred by it below.
    masterSwitch->resize(MasterSwitchSize());

    const auto setupEdit = [this](CNumEdit *edit, QRect r) {
        static const QFont font = MakeFont(QStringLiteral("Arial"), -12);
        // Wide enough for "-60.0dB" in the page's face, centred on the template's place.
        constexpr int kMinWidth = 68;
        if (r.width() < kMinWidth)
            r = QRect(r.center().x() - kMinWidth / 2, r.top(), kMinWidth, r.height());
        edit->setGeometry(r);
        edit->setFont(font);
        edit->setAlignment(Qt::AlignCenter);
        // The template allows six characters, but a line edit also cuts the text it shows to its
        // limit, and "-60.0dB" has seven.
        edit->setMaxLength(8);
        edit->installEventFilter(this);
    };
    setupEdit(masterEdit, Dlu(231, 91, 42, 10));
    // The fader stands over its edit, centred on it, below the area's title; the edit and the
    // switch follow under the fader.
    masterFader->move(masterEdit->geometry().center().x() - masterFader->width() / 2, kFaderTop);
    masterEdit->move(masterEdit->x(), masterFader->geometry().bottom() + 3);
    masterSwitch->move(masterEdit->geometry().center().x() - masterSwitch->width() / 2,
                       masterEdit->geometry().bottom() + 4);

    // The six input columns: fader, edit (and step control), and the input button.
    static constexpr int kInputFaderX[kInputs] = {354, 433, 512, 591, 670, 750};
    static constexpr int kInputEditX[kInputs] = {352, 431, 510, 589, 668, 747};
    static constexpr int kInputButtonX[kInputs] = {335, 415, 495, 575, 655, 735};
    for (int i = 0; i < kInputs; ++i) {
        auto *edit = Make<CNumEdit>(IDC_INPUT_EDIT + i);
        edit->SetScale(0.1);
        edit->SetOffset(60.0);
        edit->SetType(23, QString());
        setupEdit(edit, Dlu(kInputEditX[i], 91, 42, 10));
        auto *spin = Make<CNumSpin>(IDC_INPUT_SPIN + i);
        spin->SetBuddy(edit);
        spin->SetRange(0, 600);
        spin->hide();
        auto *fader = Make<CBitmapSlider>(IDC_INPUT_FADER + i);
        fader->SetChannelBitmaps(388, 388, 0);
        fader->SetThumbBitmaps(387, 282, 1, CBitmapSlider::kKeyFromPixel, 0, 0);
        fader->SetRange(0, 600);
        fader->SetMargin(38, 0, 1, 2);
        fader->SetBuddyEdit(edit);
        fader->EnableMoveNotify(1);
        edit->SetLinkedWnd(fader);
        (void)kInputFaderX;
        fader->move(edit->geometry().center().x() - fader->width() / 2, kFaderTop);
        auto *button = Make<CBitButton>(IDC_INPUT_BUTTON + i);
        button->EnableMoveNotify(1);
        // Sized as its skins before its place is taken: the input layouts centre it there again.
        button->resize(InputButtonSize());
        const QRect b = Dlu(kInputButtonX[i], 105, i == 5 ? 63 : 42, 10);
        button->move(edit->geometry().center().x() - button->width() / 2, b.top());
    }
    // Bound and never set up.
    Make<CNumSpin>(IDC_INPUT_SPIN + 6)->hide();

    // The eight output columns.
    static constexpr int kFaderX[kOutputs] = {321, 383, 446, 509, 571, 634, 696, 759};
    static constexpr int kEditX[kOutputs] = {322, 384, 447, 510, 572, 635, 697, 760};
    static constexpr int kMeterX[kOutputs] = {323, 385, 448, 511, 573, 636, 698, 761};
    for (int i = 0; i < kOutputs; ++i) {
        auto *edit = Make<CNumEdit>(IDC_OUT_EDIT + i);
        edit->SetScale(0.1);
        edit->SetOffset(60.0);
        edit->SetType(23, QString());
        setupEdit(edit, Dlu(kEditX[i], 264, 40, 10));
        const int centre = edit->geometry().center().x();
        auto *spin = Make<CNumSpin>(IDC_OUT_SPIN + i);
        spin->SetBuddy(edit);
        spin->SetRange(0, 600);
        spin->hide();
        auto *fader = Make<CBitmapSlider>(IDC_OUT_FADER + i);
        fader->SetChannelBitmaps(539, 539, 0);
        fader->SetThumbBitmaps(538, 282, 1, CBitmapSlider::kKeyFromPixel, 0, 0);
        fader->SetRange(0, 600);
        fader->SetMargin(35, 4, 1, 4);
        fader->SetBuddyEdit(edit);
        fader->EnableMoveNotify(1);
        edit->SetLinkedWnd(fader);
        (void)kFaderX;
        fader->move(centre - fader->width() / 2, Dlu(0, 147, 1, 1).top());

        auto *on = Make<CBitButton>(IDC_OUT_ON + i);
        on->SetBitmaps(529, 530, 531, 526, 527, 528);
        on->SetDisabledBitmaps(4376, 4377);
        on->EnableMoveNotify(1);
        on->move(centre - on->width() / 2, Dlu(0, 279, 1, 1).top());
        auto *polarity = Make<CBitButton>(IDC_OUT_POLARITY + i);
        polarity->SetBitmaps(4370, 4371, 4372, 4373, 4374, 4375);
        polarity->SetDisabledBitmaps(4378, 4379);
        polarity->EnableMoveNotify(1);
        polarity->move(centre - polarity->width() / 2, Dlu(0, 297, 1, 1).top());
        auto *placeholder = Make<CBitButton>(IDC_PLACEHOLDER + i);
        placeholder->SetDisabledBitmaps(4200, 4200);
        placeholder->setEnabled(false);
        placeholder->move(centre - placeholder->width() / 2, Dlu(0, 315, 1, 1).top());
        auto *label = Make<CBitButton>(IDC_TYPE_LABEL + i);
        label->SetDisabledBitmaps(4200, 4200);
        label->setEnabled(false);
        label->move(centre - label->width() / 2, Dlu(0, 325, 1, 1).top() + 4);
        auto *meter = Make<CSLamp>(IDC_METER + i);
        const QRect m = Dlu(kMeterX[i], 349, 40, 8);
        meter->setGeometry(centre - m.width() / 2, m.top(), m.width(), m.height());
        meter->Layout();
    }
}

// ---- lookups ---------------------------------------------------------------------------------------

QWidget *CLevel_Delay_Dlg::Control(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

CNumEdit *CLevel_Delay_Dlg::Edit(int id) const { return qobject_cast<CNumEdit *>(Control(id)); }
CNumSpin *CLevel_Delay_Dlg::Spin(int id) const { return qobject_cast<CNumSpin *>(Control(id)); }
CBitmapSlider *CLevel_Delay_Dlg::Fader(int id) const { return qobject_cast<CBitmapSlider *>(Control(id)); }
CBitButton *CLevel_Delay_Dlg::Button(int id) const { return qobject_cast<CBitButton *>(Control(id)); }
CBtnPng *CLevel_Delay_Dlg::Png(int id) const { return qobject_cast<CBtnPng *>(Control(id)); }
CSLamp *CLevel_Delay_Dlg::Meter(int i) const
{
    return Valid(i) ? qobject_cast<CSLamp *>(Control(IDC_METER + i)) : nullptr;
}

CKTV_OutData *CLevel_Delay_Dlg::Out(int i) const
{
    return m_root && Valid(i) ? m_root->GetOut(i) : nullptr;
}

CMusic_InData *CLevel_Delay_Dlg::In(int i) const
{
    return m_root && i >= 0 && i < kInputs ? m_root->GetMusicIn(i) : nullptr;
}

// ---- messages ------------------------------------------------------------------------------------

void CLevel_Delay_Dlg::InstallMessageMap()
{
    CMessageTable &t = *m_table;
    t.On(WM_COMMAND, [this](WPARAM w, LPARAM) { return OnCommand(int(LOWORD(w))); });
    t.On(WM_SLIDER_POS_CHANGING, [this](WPARAM w, LPARAM) { return OnSliderMessage(int(w), false); });
    t.On(WM_SLIDER_POS_CHANGED, [this](WPARAM w, LPARAM) { return OnSliderMessage(int(w), true); });
    t.On(WM_NUMSPIN_DELAYSTEP, [this](WPARAM w, LPARAM l) {
        OnDelayStep(int(w), int(l));
        return LRESULT(0);
    });
    t.On(WM_CTRL_MOUSEMOVE, [this](WPARAM, LPARAM l) {
        OnCtrlMouseMove(int(l));
        return LRESULT(0);
    });
    t.On(WM_NUMEDIT_KEY, [this](WPARAM w, LPARAM l) { return OnNumEditKey(int(w), int(l)); });
    t.On(WM_INPUT_REFRESH, [this](WPARAM w, LPARAM l) {
        OnInputRefresh(int(w), int(l));
        return LRESULT(0);
    });
    t.On(WM_INPUT_RECHECK, [this](WPARAM, LPARAM l) {
        if (int(l) == g_nSelInput.load())
            CheckInputButtons();
        return LRESULT(0);
    });
}

LRESULT CLevel_Delay_Dlg::OnCommand(int id)
{
    if (id == IDC_MASTER_EDIT || id == IDC_MASTER_SPIN)
        OnMasterChanged();
    else if (id == IDC_MASTER_SWITCH)
        OnMasterSwitch();
    else if (id >= IDC_INPUT_EDIT && id < IDC_INPUT_EDIT + kInputs)
        OnInputLevelChanged(id - IDC_INPUT_EDIT);
    else if (id >= IDC_INPUT_SPIN && id < IDC_INPUT_SPIN + kInputs)
        OnInputLevelChanged(id - IDC_INPUT_SPIN);
    else if (id >= IDC_OUT_EDIT && id < IDC_OUT_EDIT + kOutputs)
        OnOutputGainChanged(id - IDC_OUT_EDIT);
    else if (id >= IDC_OUT_SPIN && id < IDC_OUT_SPIN + kOutputs)
        OnOutputGainChanged(id - IDC_OUT_SPIN);
    else if (id >= IDC_OUT_ON && id < IDC_OUT_ON + kOutputs)
        OnOutputOn(id - IDC_OUT_ON);
    else if (id >= IDC_OUT_POLARITY && id < IDC_OUT_POLARITY + kOutputs)
        OnOutputPolarity(id - IDC_OUT_POLARITY);
    else if (id >= IDC_DELAY_EDIT && id < IDC_DELAY_EDIT + kDelayPositions)
        OnDelayChanged(id - IDC_DELAY_EDIT);
    else if (id >= IDC_DELAY_SPIN && id < IDC_DELAY_SPIN + kDelayPositions)
        OnDelayChanged(id - IDC_DELAY_SPIN);
    else if (id == IDC_UNIT_MS || id == IDC_UNIT_CM || id == IDC_UNIT_INCH)
        OnUnitButton(id);
    else if (id >= IDC_ICON_FIRST && id <= IDC_ICON_LAST)
        OnSpeakerIcon(id);
    else if (id >= IDC_TOGGLE_FIRST && id <= IDC_TOGGLE_LAST)
        OnLockToggle(id);
    else if (id >= IDC_INPUT_BUTTON && id < IDC_INPUT_BUTTON + kInputs)
        SelectInput(id - IDC_INPUT_BUTTON);
    return 0;
}

LRESULT CLevel_Delay_Dlg::OnSliderMessage(int id, bool changed)
{
    if (id == IDC_MASTER_FADER)
        OnMasterFader(changed);
    else if (id >= IDC_INPUT_FADER && id < IDC_INPUT_FADER + kInputs)
        OnInputFader(id - IDC_INPUT_FADER, changed);
    else if (id >= IDC_OUT_FADER && id < IDC_OUT_FADER + kOutputs)
        OnOutputFader(id - IDC_OUT_FADER, changed);
    return 1;
}

void CLevel_Delay_Dlg::OnCtrlMouseMove(int id)
{
    // Over an output's on/off or polarity button the output takes the mark and the button the
    // focus; other controls' moves change nothing.
    int output = -1;
    if (id >= IDC_OUT_ON && id < IDC_OUT_ON + kOutputs)
        output = id - IDC_OUT_ON;
    else if (id >= IDC_OUT_POLARITY && id < IDC_OUT_POLARITY + kOutputs)
        output = id - IDC_OUT_POLARITY;
    if (output < 0)
        return;
    SelectOutput(output);
    FocusControl(id);
}

// ---- painting and language -----------------------------------------------------------------------

void CLevel_Delay_Dlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(Skins::Palette::Background));
    p.drawPixmap(0, 0, Skins::Bitmap(g_bChinese.load() ? 7030 : 523));
}

void CLevel_Delay_Dlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && !m_controls.empty())
        SwitchLanguage();
    QWidget::changeEvent(e);
}

void CLevel_Delay_Dlg::SwitchLanguage()
{
    const bool cn = g_bChinese.load() != 0;
    Edit(IDC_MASTER_EDIT)->RefreshOffText();
    for (int i = 0; i < kInputs; ++i)
        Edit(IDC_INPUT_EDIT + i)->RefreshOffText();
    for (int i = 0; i < kOutputs; ++i)
        Edit(IDC_OUT_EDIT + i)->RefreshOffText();
    for (int k = 0; k < kDelayPositions; ++k)
        Edit(IDC_DELAY_EDIT + k)->RefreshOffText();

    for (int i = 0; i < kInputs; ++i) {
        const int b = (cn ? 4850 : 4810) + i;
        Button(IDC_INPUT_BUTTON + i)->SetBitmaps(b, b + 10, b + 20, b + 20, b + 20, b + 20);
    }
    const int sw = cn ? 4900 : 4890;
    Button(IDC_MASTER_SWITCH)->SetBitmaps(sw, sw + 1, sw + 2, sw + 3, sw + 4, sw + 5);
    for (int i = 0; i < kOutputs; ++i) {
        const int t = std::clamp(GetWorkingSpeakerType(i), 0, kSpeakerTypes);
        const int label = (cn ? 4230 : 4200) + t;
        Button(IDC_TYPE_LABEL + i)->SetDisabledBitmaps(label, label);
        CBitButton *polarity = Button(IDC_OUT_POLARITY + i);
        cn ? polarity->SetBitmaps(4380, 4381, 4382, 4383, 4384, 4385)
           : polarity->SetBitmaps(4370, 4371, 4372, 4373, 4374, 4375);
        cn ? polarity->SetDisabledBitmaps(4388, 4389) : polarity->SetDisabledBitmaps(4378, 4379);
    }
    const int unit = cn ? 4330 : 4320;
    for (int u = 0; u < 3; ++u) {
        const int s = unit + 3 * u;
        Button(IDC_UNIT_MS + u)->SetBitmaps(s, s + 1, s + 2, s + 2, s + 2, s + 2);
    }
    update();
}

// ---- refresh -------------------------------------------------------------------------------------

void CLevel_Delay_Dlg::RefreshAll()
{
    // Master area and the link indicator.
    Spin(IDC_MASTER_SPIN)->SetPos(std::clamp(int(g_nMasterVolume), 0, 66));
    Fader(IDC_MASTER_FADER)->SetInvertedPos(std::clamp(int(g_nMasterVolume), 0, 66));
    Button(IDC_MASTER_SWITCH)->SetCheck(g_bMasterOn.load() ? 1 : 0);
    Button(IDC_LINK_INDICATOR)->setVisible(g_bAnyLink.load() != 0);

    // Levels, then the AUX columns.
    LoadLevels();
    ShowAuxColumns();

    m_nMarked = -1;

    // Delays: everything hidden and unlocked, then each output's position from its type.
    for (int k = 0; k < kDelayPositions; ++k) {
        CNumEdit *edit = Edit(IDC_DELAY_EDIT + k);
        edit->SetReadOnly(0);
        edit->hide();
    }
    for (int id = IDC_ICON_FIRST; id <= IDC_ICON_LAST; ++id) {
        if (CBtnPng *icon = Png(id)) {
            icon->SetCheck(0);
            icon->ShowWindow(SW_HIDE);
        }
    }
    for (int i = 0; i < kOutputs; ++i) {
        AssignDelayPosition(i, GetWorkingSpeakerType(i));
        if (CNumSpin *spin = m_delayPos[std::size_t(i)].spin)
            if (CKTV_OutData *out = Out(i))
                spin->SetPos(std::clamp(out->GetDelay(), 0, 960));
    }
    RefreshDelayLocks();
    SetDelayUnit(m_nDelayUnit);
    update();
}

// ---- the current-output mark ---------------------------------------------------------------------

void CLevel_Delay_Dlg::CheckIcon(int output, int check)
{
    if (CBtnPng *icon = IconOf(output))
        icon->SetCheck(check);
}

void CLevel_Delay_Dlg::SelectOutput(int a)
{
    const int m = m_nMarked;
    if (Valid(m)) {
        CheckIcon(m, 0);
        const int link = g_LinkGroups[std::size_t(m)].load();
        for (int j = 0; j < kOutputs; ++j)
            if (j != m && link != 0 && g_LinkGroups[std::size_t(j)].load() == link)
                CheckIcon(j, 0);
    }
    if (a >= 0 && Valid(a)) {
        m_nMarked = a;
        CheckIcon(a, 1);
    }
}

void CLevel_Delay_Dlg::SelectOutputIfChanged(int a)
{
    if (a != m_nMarked)
        SelectOutput(a);
}

void CLevel_Delay_Dlg::FocusMaster()
{
    if (qobject_cast<CNumEdit *>(QApplication::focusWidget()))
        return;
    FocusControl(IDC_MASTER_EDIT);
    SelectOutput(-1);
}

// ---- keys ----------------------------------------------------------------------------------------

bool CLevel_Delay_Dlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *edit = qobject_cast<CNumEdit *>(watched);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter is a Tab: the edit commits, and the focus steps to the next control.
            if (edit)
                m_table->PostMessage(WM_NUMEDIT_KEY, WPARAM(GetCtrlId(edit)), LPARAM(VK_RIGHT));
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (edit)
                m_table->PostMessage(WM_NUMEDIT_KEY, WPARAM(GetCtrlId(edit)), LPARAM(VK_RIGHT));
            return true;
        case Qt::Key_Escape:
            setFocus(Qt::OtherFocusReason);
            return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CLevel_Delay_Dlg::FocusControl(int id)
{
    if (QWidget *w = Control(id))
        w->setFocus(Qt::TabFocusReason);
}

LRESULT CLevel_Delay_Dlg::OnNumEditKey(int id, int key)
{
    const auto visible = [this](int c) {
        const QWidget *w = Control(c);
        return w && w->isVisibleTo(this);
    };
    int target = 0;
    if (key == VK_LEFT)
        target = NavPrevious(id, visible);
    else if (key == VK_RIGHT)
        target = NavNext(id, visible);
    if (!target)
        return 0;
    FocusControl(target);
    if (target >= IDC_OUT_EDIT && target < IDC_OUT_EDIT + kOutputs) {
        const int i = target - IDC_OUT_EDIT;
        RefreshLinkedGains(i);
        SelectOutputIfChanged(i);
        CheckIcon(i, 1);
    } else if (target >= IDC_DELAY_EDIT && target < IDC_DELAY_EDIT + kDelayPositions) {
        if (CNumSpin *spin = Spin(target + 20); spin && Valid(spin->GetTag()))
            SelectOutput(spin->GetTag());
    } else {
        SelectOutput(-1);
    }
    return 0;
}
