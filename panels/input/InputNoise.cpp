#include "panels/input/InputNoise.h"

#include "controls/BitButton.h"
#include "controls/ConsoleStyle.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "panels/input/HiLevelMixing.h"
#include "protocol/CommandFrame.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "services/MixingSwitch.h"
#include "services/Services.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr int kWidth = 240, kHeight = 170;

// Template 1039 is laid out in Arial 7 dialog units.
DialogUnits TemplateUnits()
{
    static const DialogUnits u = DialogUnitsOf(MakePointFont(QStringLiteral("Arial"), 70));
    return u;
}

QRect Dlu(int x, int y, int w, int h)
{
    return DluRect(x, y, w, h, TemplateUnits());
}

void Caption(QPainter &p, const QRect &r, StrId id, bool chinese, int px, QRgb colour)
{
    QFont f = MakeFont(chinese ? QStringLiteral("SimSun") : QStringLiteral("Arial"), -std::max(px, 12),
                       chinese ? 400 : 700);
    p.setFont(f);
    p.setPen(QColor::fromRgb(colour));
    p.drawText(r, Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8(Tr(id, chinese)));
}

// The background names the switch and the three values, each on a recessed row whose field sits
// under the value's edit.
void PaintBackground(QPainter &p, const QRect &r, bool chinese)
{
    Skins::Paint(p, r, SkinSpec{SkinStyle::Panel, SkinState::Normal, r.size(), "", "", 0}, chinese);
    const QRect sw = Dlu(118, 14, 40, 11);
    const struct {
        StrId id;
        QRect field;
    } rows[] = {
        {StrId::HiLevelMixing, sw},
        {StrId::HiLevelThreshold, Dlu(110, 39, 54, 11)},
        {StrId::HiLevelAttenuation, Dlu(110, 65, 54, 11)},
        {StrId::HiLevelRelease, Dlu(110, 92, 54, 11)},
    };
    for (const auto &row : rows) {
        const int cy = row.field.center().y();
        const QRect band(8, cy - 15, r.width() - 16, 30);
        p.fillRect(band, QColor(0x16, 0x19, 0x1d));
        p.setPen(QColor::fromRgb(Skins::Palette::Frame));
        p.drawRect(band.adjusted(0, 0, -1, -1));
        p.fillRect(QRect(band.left(), band.top(), 3, band.height()), QColor::fromRgb(Skins::Palette::Accent));
        Caption(p, QRect(16, band.top(), row.field.left() - 20, band.height()), row.id, chinese, 12,
                Skins::Palette::Text);
        if (row.id != StrId::HiLevelMixing) {
            const QRect field = row.field.adjusted(-2, -3, 2, 3);
            p.fillRect(field, QColor(0x0e, 0x10, 0x13));
            p.setPen(QColor::fromRgb(Skins::Palette::PanelLight));
            p.drawRect(field.adjusted(0, 0, -1, -1));
        }
    }
}

}  // namespace

void CInputNoise::RegisterSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Skins::RegisterPainter(SkinType::Bitmap, kBackgroundCn, QSize(kWidth, kHeight),
                           [](QPainter &p, const QRect &r, bool) { PaintBackground(p, r, true); });
    Skins::RegisterPainter(SkinType::Bitmap, kBackgroundEn, QSize(kWidth, kHeight),
                           [](QPainter &p, const QRect &r, bool) { PaintBackground(p, r, false); });
}

CInputNoise::CInputNoise(IDeviceSync &sync, QWidget *parent) : QDialog(parent), m_sync(sync)
{
    InitQtGlobals();
    RegisterSkins();
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(MakePointFont(QStringLiteral("Arial"), 70));
    ApplyConsoleDialogStyle(this);
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::ClickFocus);
    m_bOn = hilevel::MixingOn() ? 1 : 0;

    m_btnSwitch = new CBitButton(this, IDC_SWITCH);
    m_btnSwitch->move(Dlu(118, 14, 40, 11).topLeft() - QPoint(0, 5));
    for (int k = 0; k < hilevel::FieldCount; ++k) {
        const auto &f = hilevel::kFields[static_cast<std::size_t>(k)];
        auto *edit = new CNumEdit(this);
        SetCtrlId(edit, f.edit);
        edit->setGeometry(Dlu(f.x, f.y, f.w, f.h));
        auto *spin = new CNumSpin(this);
        SetCtrlId(spin, f.spin);
        spin->hide();
        m_edits[static_cast<std::size_t>(k)] = edit;
        m_spins[static_cast<std::size_t>(k)] = spin;
    }

    auto *table = CMessageTable::Ensure(this);
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) {
        const int id = int(LOWORD(w));
        if (id == IDC_SWITCH) {
            OnToggle();
            return LRESULT(0);
        }
        for (int k = 0; k < hilevel::FieldCount; ++k) {
            const auto &f = hilevel::kFields[static_cast<std::size_t>(k)];
            if (id == f.edit || id == f.spin)
                OnValue(k);
        }
        return LRESULT(0);
    });
}

CInputNoise::~CInputNoise()
{
    if (g_pInputNoiseDlg == this)
        g_pInputNoiseDlg = nullptr;
}

void CInputNoise::InitDialog()
{
    g_pInputNoiseDlg = this;
    ApplyTexts();
    m_btnSwitch->SetBitmaps(kSwitchOff, kSwitchOff, kSwitchOn, kSwitchOn, kSwitchOn, kSwitchOff);
    m_btnSwitch->SetCheck(hilevel::MixingOn() ? 1 : 0);
    // With the Hi.Level input selected there is nothing to mix it into.
    if (g_nInputSource.load() == 1)
        m_btnSwitch->hide();
    else
        m_btnSwitch->setEnabled(true);
    for (int k = 0; k < hilevel::FieldCount; ++k) {
        const auto &f = hilevel::kFields[static_cast<std::size_t>(k)];
        CNumEdit *edit = Edit(k);
        CNumSpin *spin = Spin(k);
        spin->SetBuddy(edit);
        spin->SetRange(f.min, f.max);
        edit->SetScale(f.scale);
        edit->SetOffset(f.offset);
        edit->SetType(f.type, QString::fromLatin1(f.unit));
        edit->setMaxLength(f.maxChars);
        edit->setFont(g_fontArial16);
    }
    RefreshValues();
}

int CInputNoise::DoModal()
{
    InitDialog();
    return exec();
}

void CInputNoise::ApplyTexts()
{
    setWindowTitle(QTr(StrId::HiLevelTitle));
    update();
}

void CInputNoise::RefreshValues()
{
    for (int k = 0; k < hilevel::FieldCount; ++k) {
        const int v = hilevel::Byte(hilevel::kFields[static_cast<std::size_t>(k)]).load();
        Edit(k)->SetValue(v);
        Spin(k)->SetPos(v);
    }
}

void CInputNoise::SetToggleCheck(int on)
{
    m_btnSwitch->SetCheck(on);
}

void CInputNoise::OnToggle()
{
    m_bOn = !m_bOn;
    m_btnSwitch->SetCheck(m_bOn);
    if (m_pView)
        m_pView->SetMixingSwitch(m_bOn);
    g_nNoiseGateOn = m_bOn ? hilevel::kOn : hilevel::kOff;
    m_sync.QueueDeviceCommand(SYS_INPUT, 0);
}

void CInputNoise::OnValue(int k)
{
    if (k < 0 || k >= hilevel::FieldCount)
        return;
    const auto &f = hilevel::kFields[static_cast<std::size_t>(k)];
    const int v = Spin(k)->GetPos();
    auto &byte = hilevel::Byte(f);
    if (v == byte.load())
        return;
    Edit(k)->SetValue(v);
    Spin(k)->SetPos(v);
    byte = static_cast<std::uint8_t>(v);
    m_sync.QueueDeviceCommand(SYS_INPUT, 0);
}

void CInputNoise::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPixmap bg = Skins::Bitmap(g_bChinese.load() ? kBackgroundCn : kBackgroundEn);
    p.drawPixmap(0, 0, bg);
}

void CInputNoise::keyPressEvent(QKeyEvent *e)
{
    // Enter and Escape neither confirm nor close: the dialog takes the focus, which commits a
    // typed value.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
        setFocus();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void CInputNoise::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange) {
        ApplyTexts();
        for (CNumEdit *edit : m_edits)
            edit->RefreshOffText();
    }
    QDialog::changeEvent(e);
}
