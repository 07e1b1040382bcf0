#include "panels/input/Adv_Seting.h"

#include "controls/BitButton.h"
#include "controls/ConsoleStyle.h"
#include "controls/CtrlMessages.h"
#include "controls/DisplayDlg.h"
#include "controls/FontStatic.h"
#include "controls/ListCtrlCl.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/ModeItemTable.h"
#include "model/SpeakerType.h"
#include "panels/output/COM_EXT_LIMStatic.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "protocol/CommandFrame.h"
#include "res/Skins.h"
#include "services/Services.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpressionValidator>

namespace {

constexpr QRgb Green = 0xFF33C800;
constexpr COLORREF kLinkCell = RGB(255, 0, 0), kPlainCell = RGB(128, 128, 128);
// The limiter release is kept in the record as milliseconds − 50 (the encoding the dynamics
// dialog and the device use); the field shows milliseconds 50..5000.
constexpr int kReleaseBase = 50;

// The numeric fields: edit, step control.
struct FieldIds {
    int edit, spin;
};
constexpr std::array<FieldIds, 9> kFieldIds{{
    {CAdv_Seting::IDC_THRESHOLD, CAdv_Seting::IDC_THRESHOLD_SPIN},
    {CAdv_Seting::IDC_ATTEN, CAdv_Seting::IDC_ATTEN_SPIN},
    {CAdv_Seting::IDC_RELEASE, CAdv_Seting::IDC_RELEASE_SPIN},
    {CAdv_Seting::IDC_GROUP_DELAY, CAdv_Seting::IDC_GROUP_DELAY_SPIN},
    {CAdv_Seting::IDC_NOISE, CAdv_Seting::IDC_NOISE_SPIN},
    {CAdv_Seting::IDC_LIM_THRESHOLD, CAdv_Seting::IDC_LIM_THRESHOLD_SPIN},
    {CAdv_Seting::IDC_LIM_LEVEL, CAdv_Seting::IDC_LIM_LEVEL_SPIN},
    {CAdv_Seting::IDC_LIM_ATTACK, CAdv_Seting::IDC_LIM_ATTACK_SPIN},
    {CAdv_Seting::IDC_LIM_RELEASE, CAdv_Seting::IDC_LIM_RELEASE_SPIN},
}};

// ---- layout (pixels of the 660 x 334 client area) ----------------------------------------------

constexpr int kEditX = 128, kEditW = 60, kEditH = 20;
struct Box {
    QRect frame;
    StrId title;
};
const Box kMixer{QRect(8, 8, 196, 124), StrId::AdvMixer};
const Box kInput{QRect(8, 138, 196, 76), StrId::AdvInputOption};
const Box kNetwork{QRect(8, 220, 196, 106), StrId::AdvNetwork};
const Box kLimit{QRect(212, 8, 480, 240), StrId::AdvOutputLimit};
const Box kCurveBox{QRect(212, 254, 400, 72), StrId::AdvEqCurve};

int RowY(const Box &b, int row)
{
    return b.frame.top() + 26 + row * 24;
}

QRect EditRect(const Box &b, int row)
{
    return QRect(kEditX, RowY(b, row), kEditW, kEditH);
}

// Limiter fields: four columns under the list and the curve.
QRect LimitEditRect(int k)
{
    return QRect(kLimit.frame.left() + 12 + k * 116, kLimit.frame.bottom() - 26, 106, kEditH);
}

// ---- skins -------------------------------------------------------------------------------------

QFont CaptionFont(bool chinese, int px, bool bold)
{
    return MakeFont(chinese ? QStringLiteral("SimSun") : QStringLiteral("Arial"), -std::max(px, 12),
                    chinese ? 400 : (bold ? 700 : 400));
}

void Caption(QPainter &p, const QRect &r, StrId id, bool chinese, int align = Qt::AlignVCenter | Qt::AlignLeft,
             QRgb colour = Skins::Palette::TextDim, bool bold = false)
{
    p.setFont(CaptionFont(chinese, 12, bold));
    p.setPen(QColor::fromRgb(colour));
    p.drawText(r, align, QString::fromUtf8(Tr(id, chinese)));
}

void Group(QPainter &p, const Box &b, bool chinese)
{
    const QRect &r = b.frame;
    Skins::PaintRecessed(p, r);
    const QRect title(r.left() + 1, r.top() + 1, r.width() - 2, 20);
    Skins::PaintCaptionBar(p, title);
    Caption(p, title.adjusted(8, 0, -4, 0), b.title, chinese, Qt::AlignVCenter | Qt::AlignLeft,
            Skins::Palette::Text, true);
}

void Field(QPainter &p, const QRect &edit)
{
    const QRect f = edit.adjusted(-1, -1, 1, 1);
    p.fillRect(f, QColor(0x0e, 0x10, 0x13));
    p.setPen(QColor::fromRgb(Skins::Palette::PanelLight));
    p.drawRect(f.adjusted(0, 0, -1, -1));
}

void RowLabel(QPainter &p, const Box &b, int row, StrId id, bool chinese)
{
    Caption(p, QRect(b.frame.left() + 8, RowY(b, row), kEditX - b.frame.left() - 10, kEditH), id, chinese);
}

void PaintBackground(QPainter &p, const QRect &r, bool chinese)
{
    Skins::Paint(p, r, SkinSpec{SkinStyle::Panel, SkinState::Normal, r.size(), "", "", 0}, chinese);
    for (const Box *b : {&kMixer, &kInput, &kNetwork, &kLimit, &kCurveBox})
        Group(p, *b, chinese);
    RowLabel(p, kMixer, 0, StrId::AdvMainSource, chinese);
    RowLabel(p, kMixer, 1, StrId::HiLevelThreshold, chinese);
    RowLabel(p, kMixer, 2, StrId::HiLevelAttenuation, chinese);
    RowLabel(p, kMixer, 3, StrId::HiLevelRelease, chinese);
    RowLabel(p, kInput, 0, StrId::AdvMusicGroupDelay, chinese);
    RowLabel(p, kInput, 1, StrId::AdvNoiseThreshold, chinese);
    RowLabel(p, kNetwork, 0, StrId::AdvAddress, chinese);
    RowLabel(p, kNetwork, 1, StrId::AdvPort, chinese);
    for (int row = 1; row <= 3; ++row)
        Field(p, EditRect(kMixer, row));
    for (int row = 0; row <= 1; ++row)
        Field(p, EditRect(kInput, row));
    Field(p, EditRect(kNetwork, 1));
    const StrId limitLabels[4] = {StrId::AdvLimitAttack, StrId::AdvLimitRelease, StrId::AdvLimitDbu,
                                  StrId::AdvLimitLevel};
    for (int k = 0; k < 4; ++k) {
        const QRect e = LimitEditRect(k);
        Caption(p, QRect(e.left(), e.top() - 18, e.width(), 16), limitLabels[k], chinese,
                Qt::AlignLeft | Qt::AlignVCenter);
        Field(p, e);
    }
}

SkinSpec Words(SkinStyle style, SkinState state, QSize size, StrId id, QRgb accent = 0)
{
    return SkinSpec{style, state, size, Tr(id, false), Tr(id, true), accent};
}

// The main source's name on the source button, for sources 0..6.
StrId SourceName(int s)
{
    static constexpr StrId kNames[7] = {StrId::AdvSourceSpdif, StrId::AdvSourceHiLevel, StrId::AdvSourcePhone,
                                        StrId::AdvSourceOff,   StrId::AdvSourceOff,     StrId::AdvSourceOff,
                                        StrId::AdvSourceOff};
    return kNames[std::clamp(s, 0, 6)];
}

const char *const kAuxNames[3] = {"AUX1", "AUX2", "AUX3"};

}  // namespace

void CAdv_Seting::RegisterSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using S = SkinStyle;
    using St = SkinState;
    Skins::RegisterPainter(SkinType::Bitmap, kBackgroundCn, QSize(kWidth, kHeight),
                           [](QPainter &p, const QRect &r, bool) { PaintBackground(p, r, true); });
    Skins::RegisterPainter(SkinType::Bitmap, kBackgroundEn, QSize(kWidth, kHeight),
                           [](QPainter &p, const QRect &r, bool) { PaintBackground(p, r, false); });
    const QSize button(64, 22);
    // Apply: Chinese 7204..7207, English 7200..7203; Load Default: 7214..7217, 7210..7213.
    for (int base : {7200, 7204}) {
        Skins::Register(SkinType::Bitmap, base, Words(S::Button, St::Normal, button, StrId::AdvApply));
        Skins::Register(SkinType::Bitmap, base + 1, Words(S::Button, St::Hover, button, StrId::AdvApply));
        Skins::Register(SkinType::Bitmap, base + 2, Words(S::Button, St::Pressed, button, StrId::AdvApply));
        Skins::Register(SkinType::Bitmap, base + 3, Words(S::Button, St::Disabled, button, StrId::AdvApply));
    }
    for (int base : {7210, 7214}) {
        Skins::Register(SkinType::Bitmap, base, Words(S::Button, St::Normal, QSize(86, 22), StrId::AdvLoadDefault));
        Skins::Register(SkinType::Bitmap, base + 1, Words(S::Button, St::Hover, QSize(86, 22), StrId::AdvLoadDefault));
        Skins::Register(SkinType::Bitmap, base + 2,
                        Words(S::Button, St::Pressed, QSize(86, 22), StrId::AdvLoadDefault));
        Skins::Register(SkinType::Bitmap, base + 3,
                        Words(S::Button, St::Disabled, QSize(86, 22), StrId::AdvLoadDefault));
    }
    // Quit: English 790 normal, 791 down, 792 hover; Chinese 793, 794, 795.
    for (int base : {790, 793}) {
        Skins::Register(SkinType::Bitmap, base, Words(S::Button, St::Normal, button, StrId::AdvQuit));
        Skins::Register(SkinType::Bitmap, base + 1, Words(S::Button, St::Pressed, button, StrId::AdvQuit));
        Skins::Register(SkinType::Bitmap, base + 2, Words(S::Button, St::Hover, button, StrId::AdvQuit));
    }
    // The curve-display switch: a radio mark with its words, plain (704, 706) or marked (705, 707).
    for (int base : {704, 706}) {
        Skins::Register(SkinType::Bitmap, base, Words(S::Toggle, St::Normal, QSize(190, 22), StrId::AdvAuxDisplay));
        Skins::Register(SkinType::Bitmap, base + 1,
                        Words(S::Toggle, St::Checked, QSize(190, 22), StrId::AdvAuxDisplay, Green));
    }
    // The source button: the source's name; Chinese 3200 + s (hover 3210 + s), English 3220 + s
    // (hover 3230 + s).
    for (int s = 0; s < 7; ++s) {
        const bool aux = s >= 3 && s <= 5;
        const char *en = aux ? kAuxNames[s - 3] : Tr(SourceName(s), false);
        const char *cn = aux ? kAuxNames[s - 3] : Tr(SourceName(s), true);
        for (int base : {3200, 3220}) {
            Skins::Register(SkinType::Bitmap, base + s, SkinSpec{S::Button, St::Normal, QSize(80, 22), en, cn, 0});
            Skins::Register(SkinType::Bitmap, base + 10 + s, SkinSpec{S::Button, St::Hover, QSize(80, 22), en, cn, 0});
        }
    }
}

CAdv_Seting::CAdv_Seting(IDeviceSync &sync, CPageRegistry &pages, IMessageBoxService &boxes, QWidget *parent)
    : QDialog(parent), m_sync(sync), m_pages(pages), m_boxes(boxes)
{
    InitQtGlobals();
    RegisterSkins();
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(MakePointFont(QStringLiteral("Arial"), 80));
    ApplyConsoleDialogStyle(this);
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::ClickFocus);
    MakeControls();
    // The transfer popup of the module's reset keeps this dialog disabled while it shows.
    CDisplayDlg::SetAdvancedDlgLookup([] { return dynamic_cast<QWidget *>(g_pAdvSetingDlg); });

    auto *table = CMessageTable::Ensure(this);
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) {
        OnCommand(int(LOWORD(w)));
        return LRESULT(0);
    });
    table->On(WM_NUMEDIT_KEY, [this](WPARAM w, LPARAM l) {
        OnNavigationKey(int(w), int(l));
        return LRESULT(0);
    });
    table->On(WM_SLIDER_POS_CHANGED, [](WPARAM, LPARAM) { return LRESULT(1); });
    table->On(WM_SLIDER_POS_CHANGING, [](WPARAM, LPARAM) { return LRESULT(1); });
}

CAdv_Seting::~CAdv_Seting()
{
    // The view calls the dialog through the global only while it exists.
    if (g_pAdvSetingDlg == this)
        g_pAdvSetingDlg = nullptr;
}

void CAdv_Seting::MakeControls()
{
    for (std::size_t k = 0; k < kFieldIds.size(); ++k) {
        auto *edit = new CNumEdit(this);
        SetCtrlId(edit, kFieldIds[k].edit);
        auto *spin = new CNumSpin(this);
        SetCtrlId(spin, kFieldIds[k].spin);
        spin->hide();
        spin->SetBuddy(edit);
        m_edits[k] = edit;
        m_spins[k] = spin;
    }
    Edit(IDC_THRESHOLD)->setGeometry(EditRect(kMixer, 1));
    Edit(IDC_ATTEN)->setGeometry(EditRect(kMixer, 2));
    Edit(IDC_RELEASE)->setGeometry(EditRect(kMixer, 3));
    Edit(IDC_GROUP_DELAY)->setGeometry(EditRect(kInput, 0));
    Edit(IDC_NOISE)->setGeometry(EditRect(kInput, 1));
    Edit(IDC_LIM_ATTACK)->setGeometry(LimitEditRect(0));
    Edit(IDC_LIM_RELEASE)->setGeometry(LimitEditRect(1));
    Edit(IDC_LIM_THRESHOLD)->setGeometry(LimitEditRect(2));
    Edit(IDC_LIM_LEVEL)->setGeometry(LimitEditRect(3));

    m_btnSource = new CBitButton(this, IDC_SOURCE);
    m_btnSource->move(kEditX - 22, RowY(kMixer, 0) - 1);

    // The module's IPv4 address: four numbers 0..255 with dots; the port: digits only.
    m_editAddress = new QLineEdit(this);
    SetCtrlId(m_editAddress, IDC_ADDRESS);
    m_editAddress->setGeometry(QRect(kEditX - 40, RowY(kNetwork, 0), kEditW + 40, kEditH));
    m_editAddress->setMaxLength(15);
    m_editAddress->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")),
                                                                m_editAddress));
    connect(m_editAddress, &QLineEdit::textEdited, this, [this] { OnAddressEdited(); });
    m_editPort = new QLineEdit(this);
    SetCtrlId(m_editPort, IDC_PORT);
    m_editPort->setGeometry(EditRect(kNetwork, 1));
    m_editPort->setMaxLength(5);
    m_editPort->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_editPort));
    connect(m_editPort, &QLineEdit::textEdited, this, [this] { OnPortEdited(); });
    m_editPort->installEventFilter(this);
    m_editAddress->installEventFilter(this);
    for (QLineEdit *e : {m_editAddress, m_editPort}) {
        e->setFont(g_fontArial14);
        e->setStyleSheet(QStringLiteral("QLineEdit { background: #0e1013; color: #e4e8ee; border: 1px solid #343943; }"));
    }

    m_btnLoadDefault = new CBitButton(this, IDC_LOAD_DEFAULT);
    m_btnLoadDefault->move(kNetwork.frame.left() + 6, kNetwork.frame.bottom() - 30);
    m_btnApply = new CBitButton(this, IDC_APPLY);
    m_btnApply->move(kNetwork.frame.right() - 70, kNetwork.frame.bottom() - 30);
    m_btnQuit = new CBitButton(this, IDC_QUIT);
    m_btnQuit->move(kLimit.frame.right() - 64, kCurveBox.frame.bottom() - 22);
    m_btnCurveSwitch = new CBitButton(this, IDC_CURVE_SWITCH);
    m_btnCurveSwitch->move(kCurveBox.frame.left() + 8, kCurveBox.frame.top() + 26);

    m_description = new CFontStatic(this, IDC_DESCRIPTION);
    m_description->setGeometry(kCurveBox.frame.left() + 8, kCurveBox.frame.top() + 46, kCurveBox.frame.width() - 16, 24);
    m_description->hide();  // hidden by its template

    m_list = new CListCtrlCl(this);
    SetCtrlId(m_list, IDC_LIST);
    m_list->setGeometry(kLimit.frame.left() + 8, kLimit.frame.top() + 26, 218, 8 * 18 + 24);
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int) { OnListClick(row); });

    m_curve = new CCOM_EXT_LIMStatic(this, IDC_CURVE);
    m_curve->setGeometry(kLimit.frame.left() + 234, kLimit.frame.top() + 26, kLimit.frame.width() - 242, 8 * 18 + 24);

    m_menu = new QMenu(this);
    for (int s = 0; s < kModeSourceCount; ++s) {
        QAction *a = m_menu->addAction(QString());
        a->setData(kMenuFirst + s);
        connect(a, &QAction::triggered, this, [this, s] { OnSourcePicked(s); });
    }
}

void CAdv_Seting::SetupEdit(int editId, int spinId, int min, int max, double scale, double offset, int type,
                            const char *unit, int maxChars)
{
    CNumEdit *edit = Edit(editId);
    CNumSpin *spin = Spin(spinId);
    edit->SetScale(scale);
    edit->SetOffset(offset);
    edit->SetType(type, QString::fromLatin1(unit));
    spin->SetRange(min, max);
    edit->setMaxLength(maxChars);
    edit->setFont(g_fontArial14);
}

void CAdv_Seting::InitDialog()
{
    g_pAdvSetingDlg = this;
    SetupEdit(IDC_THRESHOLD, IDC_THRESHOLD_SPIN, 0, 120, 1.0, 120, 26, "", 8);
    SetupEdit(IDC_ATTEN, IDC_ATTEN_SPIN, 0, 120, 1.0, 120, 26, "dB", 8);
    SetupEdit(IDC_RELEASE, IDC_RELEASE_SPIN, 2, 30, 1.0, 1.0, 20, "s", 6);
    SetupEdit(IDC_GROUP_DELAY, IDC_GROUP_DELAY_SPIN, 0, 100, 0.01, 100, 14, "s", 6);
    SetupEdit(IDC_NOISE, IDC_NOISE_SPIN, 0, 100, 1.0, 120, 23, "dBu", 8);
    // The limiter of the selected output.
    SetupEdit(IDC_LIM_ATTACK, IDC_LIM_ATTACK_SPIN, 0, 206, 1.0, 0, 5, "", 7);
    SetupEdit(IDC_LIM_RELEASE, IDC_LIM_RELEASE_SPIN, 50, 5000, 1.0, 0, 6, "ms", 7);
    SetupEdit(IDC_LIM_THRESHOLD, IDC_LIM_THRESHOLD_SPIN, 0, 420, 0.1, 30, 30, "", 7);
    SetupEdit(IDC_LIM_LEVEL, IDC_LIM_LEVEL_SPIN, 0, 420, 0.1, 30, 32, "", 12);
    m_curve->CalcLayout();
    m_curve->SetMode(CCOM_EXT_LIMStatic::kModeLimiter);
    m_curve->SetLinkedControls(Spin(IDC_LIM_THRESHOLD_SPIN), Edit(IDC_LIM_THRESHOLD));
    m_curve->SetLinkedControls2(Spin(IDC_LIM_LEVEL_SPIN), Edit(IDC_LIM_LEVEL));
    m_curve->SetChannelArray(m_pRoot);

    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setShowGrid(true);
    m_list->SetRowHeight(18);
    m_list->SetBkColor(RGB(128, 128, 128));
    m_list->SetTextColorAll(RGB(255, 255, 255));
    m_list->setColumnCount(0);
    const int widths[4] = {56, 88, 36, 34};
    for (int c = 0; c < 4; ++c)
        m_list->InsertColumn(c, QStringLiteral(" "), LVCFMT_CENTER, widths[c]);
    for (int i = 0; i < 8; ++i)
        m_list->InsertItem(i, QStringLiteral("CH%1").arg(i + 1));

    EnableDeviceButton(g_bDeviceOnline.load() != 0);
    ApplyTexts();
    m_description->SetFontSize(15);
    SelectRow(-1);
    ApplySkins();
    SetSourceSkin();
    FillSpeakerTypes();
    LoadValues();
}

int CAdv_Seting::DoModal()
{
    InitDialog();
    return exec();
}

void CAdv_Seting::ApplyTexts()
{
    setWindowTitle(QTr(StrId::AdvTitle));
    const char *heads[4] = {Tr(StrId::AdvColChannel), Tr(StrId::AdvColChannelMap), Tr(StrId::AdvEditMark), ""};
    for (int c = 0; c < m_list->columnCount() && c < 4; ++c) {
        auto *item = m_list->horizontalHeaderItem(c);
        if (!item) {
            item = new QTableWidgetItem;
            m_list->setHorizontalHeaderItem(c, item);
        }
        item->setText(QString::fromUtf8(heads[c]));
        if (c < m_list->Header()->m_HChar.size())
            m_list->Header()->m_HChar[c] = QString::fromUtf8(heads[c]);
    }
    m_list->Header()->update();
    m_description->SetText(QTr(StrId::AdvDescription));
    const QString names[7] = {QTr(StrId::AdvSourceSpdif), QTr(StrId::AdvSourceHiLevel), QTr(StrId::AdvSourcePhone),
                              QStringLiteral("AUX1"),     QStringLiteral("AUX2"),       QStringLiteral("AUX3"),
                              QTr(StrId::AdvSourceOff)};
    const auto actions = m_menu->actions();
    for (int s = 0; s < actions.size() && s < 7; ++s)
        actions[s]->setText(names[s]);
    update();
}

void CAdv_Seting::ApplySkins()
{
    const bool cn = g_bChinese.load() != 0;
    if (cn) {
        m_btnCurveSwitch->SetBitmaps(706, 706, 707, 707, 707, 706);
        m_btnApply->SetBitmaps(7204, 7205, 7206, 7204, 7205, 7206);
        m_btnApply->SetDisabledBitmaps(7207, 7207);
        m_btnLoadDefault->SetBitmaps(7214, 7215, 7216, 7216, 7216, 7216);
        m_btnLoadDefault->SetDisabledBitmaps(7217, 7217);
        m_btnQuit->SetBitmaps(793, 795, 794);
    } else {
        m_btnCurveSwitch->SetBitmaps(704, 704, 705, 705, 705, 704);
        m_btnApply->SetBitmaps(7200, 7201, 7202);
        m_btnApply->SetDisabledBitmaps(7203, 7203);
        m_btnLoadDefault->SetBitmaps(7210, 7211, 7212, 7212, 7212, 7212);
        m_btnLoadDefault->SetDisabledBitmaps(7213, 7213);
        m_btnQuit->SetBitmaps(790, 792, 791);
    }
}

void CAdv_Seting::SetSourceSkin()
{
    const int s = std::clamp(g_ModeItemTable.mainSource, 0, 6);
    if (g_bChinese.load())
        m_btnSource->SetBitmaps(3200 + s, 3210 + s, 3210 + s);
    else
        m_btnSource->SetBitmaps(3220 + s, 3230 + s, 3230 + s);
}

void CAdv_Seting::LoadValues()
{
    SetSourceSkin();
    Spin(IDC_THRESHOLD_SPIN)->SetPos(g_nNoiseParam1.load());
    Spin(IDC_ATTEN_SPIN)->SetPos(g_nNoiseParamDb.load());
    Spin(IDC_RELEASE_SPIN)->SetPos(g_nNoiseParamSec.load());
    Spin(IDC_GROUP_DELAY_SPIN)->SetPos(g_nSys5Byte2.load());
    ShowNetworkSettings();
    m_nLastNoise = g_nSys5Byte3.load();
    Spin(IDC_NOISE_SPIN)->SetPos(m_nLastNoise);
    m_btnCurveSwitch->SetCheck(g_nLineSet.load() ? 1 : 0);
}

void CAdv_Seting::ReloadAll()
{
    SetSourceSkin();
    const bool alt = g_bAltInputMode.load() != 0;
    Edit(IDC_THRESHOLD)->setEnabled(alt);
    Spin(IDC_THRESHOLD_SPIN)->setEnabled(alt);
    Spin(IDC_GROUP_DELAY_SPIN)->SetPos(g_nSys5Byte2.load());
    Spin(IDC_THRESHOLD_SPIN)->SetPos(g_nNoiseParam1.load());
    ShowNetworkSettings();
    Spin(IDC_NOISE_SPIN)->SetPos(g_nSys5Byte3.load());
    m_nLastNoise = g_nSys5Byte3.load();
    ResetMarks();
    FillSpeakerTypes();
}

void CAdv_Seting::EnableDeviceButton(bool on)
{
    m_btnLoadDefault->setEnabled(on);
}

void CAdv_Seting::ShowNetworkSettings()
{
    m_editAddress->setText(QString::fromStdString(g_strWifiIp.Get()));
    m_btnApply->setEnabled(false);
    m_nPort = g_nWifiPort.load();
    m_editPort->setText(QString::number(m_nPort));
}

CNumEdit *CAdv_Seting::Edit(int id) const
{
    for (std::size_t k = 0; k < kFieldIds.size(); ++k)
        if (kFieldIds[k].edit == id)
            return m_edits[k];
    return nullptr;
}

CNumSpin *CAdv_Seting::Spin(int id) const
{
    for (std::size_t k = 0; k < kFieldIds.size(); ++k)
        if (kFieldIds[k].spin == id)
            return m_spins[k];
    return nullptr;
}

CBitButton *CAdv_Seting::Button(int id) const
{
    for (CBitButton *b : {m_btnApply, m_btnLoadDefault, m_btnQuit, m_btnCurveSwitch, m_btnSource})
        if (GetCtrlId(b) == id)
            return b;
    return nullptr;
}

// ---- commands ----------------------------------------------------------------------------------

void CAdv_Seting::OnCommand(int id)
{
    const auto setByte = [](std::atomic<std::uint8_t> &byte, int v) { byte = static_cast<std::uint8_t>(v); };
    switch (id) {
    case IDC_THRESHOLD:
    case IDC_THRESHOLD_SPIN:
        setByte(g_nNoiseParam1, Spin(IDC_THRESHOLD_SPIN)->GetPos());
        m_sync.SetPendingBlock2(1);
        break;
    case IDC_ATTEN:
    case IDC_ATTEN_SPIN:
        setByte(g_nNoiseParamDb, Spin(IDC_ATTEN_SPIN)->GetPos());
        m_sync.SetPendingBlock2(1);
        break;
    case IDC_RELEASE:
    case IDC_RELEASE_SPIN:
        setByte(g_nNoiseParamSec, Spin(IDC_RELEASE_SPIN)->GetPos());
        m_sync.SetPendingBlock2(1);
        break;
    case IDC_GROUP_DELAY:
    case IDC_GROUP_DELAY_SPIN:
        setByte(g_nSys5Byte2, Spin(IDC_GROUP_DELAY_SPIN)->GetPos());
        m_sync.SetPendingBlock5(1);
        break;
    case IDC_NOISE:
    case IDC_NOISE_SPIN: {
        const int v = Spin(IDC_NOISE_SPIN)->GetPos();
        if (v != g_nSys5Byte3.load()) {
            setByte(g_nSys5Byte3, v);
            setByte(g_nSys5Byte7, v);
            m_nLastNoise = v;
            m_sync.SetPendingBlock5(1);
        }
        break;
    }
    case IDC_SOURCE: OpenSourceMenu(); break;
    case IDC_APPLY: OnApply(); break;
    case IDC_LOAD_DEFAULT: m_sync.QueueDeviceCommand(SYS_WIFI_RESET, 0); break;
    case IDC_CURVE_SWITCH:
        g_nLineSet = m_btnCurveSwitch->GetCheck() ? 0 : 1;
        m_btnCurveSwitch->SetCheck(g_nLineSet.load());
        if (m_saveLineSetting)
            m_saveLineSetting();
        break;
    case IDC_QUIT: reject(); break;
    case IDC_LIM_THRESHOLD:
    case IDC_LIM_THRESHOLD_SPIN:
        if (m_pOut) {
            const int v = Spin(IDC_LIM_THRESHOLD_SPIN)->GetPos();
            m_pOut->SetLimitThreshold(v);
            Spin(IDC_LIM_LEVEL_SPIN)->SetPos(v);
            Edit(IDC_LIM_LEVEL)->SetHighlight(0);
            m_curve->Refresh();
        }
        break;
    case IDC_LIM_LEVEL:
    case IDC_LIM_LEVEL_SPIN:
        if (m_pOut) {
            const int v = Spin(IDC_LIM_LEVEL_SPIN)->GetPos();
            Spin(IDC_LIM_THRESHOLD_SPIN)->SetPos(v);
            Edit(IDC_LIM_THRESHOLD)->SetHighlight(0);
            m_pOut->SetLimitThreshold(v);
            m_curve->Refresh();
        }
        break;
    case IDC_LIM_ATTACK:
    case IDC_LIM_ATTACK_SPIN:
        if (m_pOut) {
            Edit(IDC_LIM_THRESHOLD)->SetHighlight(0);
            Edit(IDC_LIM_LEVEL)->SetHighlight(0);
            m_pOut->SetLimitAttack(Spin(IDC_LIM_ATTACK_SPIN)->GetPos());
        }
        break;
    case IDC_LIM_RELEASE:
    case IDC_LIM_RELEASE_SPIN:
        if (m_pOut) {
            m_pOut->SetLimitRelease(Spin(IDC_LIM_RELEASE_SPIN)->GetPos() - kReleaseBase);
            Edit(IDC_LIM_THRESHOLD)->SetHighlight(0);
            Edit(IDC_LIM_LEVEL)->SetHighlight(0);
        }
        break;
    default: break;
    }
}

void CAdv_Seting::OpenSourceMenu()
{
    ApplyTexts();
    const auto actions = m_menu->actions();
    for (int k = 0; k < actions.size() && k < kModeSourceCount; ++k)
        actions[k]->setEnabled(g_ModeItemTable.currentRow[k] != 0 || k == kModeSourceOff);
    m_menu->popup(m_btnSource->mapToGlobal(QPoint(0, m_btnSource->height() + 2)));
}

void CAdv_Seting::OnSourcePicked(int s)
{
    if (s < 0 || s >= kModeSourceCount || s == g_ModeItemTable.mainSource)
        return;
    g_ModeItemTable.mainSource = s;
    SetSourceSkin();
    m_sync.QueueDeviceCommand(SYS_INPUT, 0);
    m_pages.RefreshInputPage();
}

bool CAdv_Seting::OnApply()
{
    const std::string address = m_editAddress->text().trimmed().toStdString();
    bool ok = false;
    const int port = m_editPort->text().toInt(&ok);
    if (!IsIpv4Address(address)) {
        m_boxes.ShowMessage(Tr(StrId::AdvBadAddress), MB_OK, 2001 /* warning */);
        return false;
    }
    if (!ok || port < 1 || port > 65535) {
        m_boxes.ShowMessage(Tr(StrId::AdvBadPort), MB_OK, 2001);
        return false;
    }
    m_nPort = port;
    g_strWifiIp.Set(address);
    g_nWifiPort = port;
    if (!SaveNetworkSettings(AppSettings()))
        m_boxes.ShowMessage(TrArgs(StrId::AdvSaveFailed, {DefaultSettingsPath()}), MB_OK, 2001);
    return true;
}

void CAdv_Seting::OnPortEdited()
{
    bool ok = false;
    int n = m_editPort->text().toInt(&ok);
    if (!ok)
        n = 0;
    if (n > 65535) {
        n = 65535;
        m_editPort->setText(QStringLiteral("65535"));
    }
    if (n != m_nPort)
        m_btnApply->setEnabled(true);
}

void CAdv_Seting::OnPortFocusLost()
{
    bool ok = false;
    const int n = m_editPort->text().toInt(&ok);
    if (!ok || n < 1) {
        m_editPort->setText(QStringLiteral("1"));
        m_editPort->setCursorPosition(1);
        if (m_nPort != 1)
            m_btnApply->setEnabled(true);
    }
}

void CAdv_Seting::OnAddressEdited()
{
    if (m_editAddress->text().toStdString() != g_strWifiIp.Get())
        m_btnApply->setEnabled(true);
    Edit(IDC_LIM_THRESHOLD)->SetHighlight(0);
    Edit(IDC_LIM_LEVEL)->SetHighlight(0);
}

// ---- keyboard ----------------------------------------------------------------------------------

void CAdv_Seting::FocusNav(int index)
{
    const int id = kNavOrder[static_cast<std::size_t>(index)];
    if (id == IDC_PORT)
        m_editPort->setFocus();
    else if (CNumEdit *e = Edit(id))
        e->setFocus();
}

void CAdv_Seting::OnNavigationKey(int id, int key)
{
    int index = 0;
    for (std::size_t k = 0; k < kNavOrder.size(); ++k)
        if (kNavOrder[k] == id)
            index = int(k);
    const int n = int(kNavOrder.size());
    if (key == VK_LEFT)
        FocusNav((index + n - 1) % n);
    else if (key == VK_RIGHT)
        FocusNav((index + 1) % n);
}

bool CAdv_Seting::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_editPort && e->type() == QEvent::FocusOut)
        OnPortFocusLost();
    if ((watched == m_editPort || watched == m_editAddress) && e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->key() == Qt::Key_Tab) {
            // From the address to the port's neighbours as the numeric edits go; the port on.
            if (watched == m_editAddress)
                OnNavigationKey(IDC_NOISE, VK_RIGHT);
            else
                OnNavigationKey(IDC_PORT, VK_RIGHT);
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void CAdv_Seting::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab: {
        // Enter and Tab move on: from the noise threshold to the address, from any other edit to
        // the next field; from elsewhere to the first field.
        QWidget *f = focusWidget();
        if (f == Edit(IDC_NOISE))
            m_editAddress->setFocus();
        else if (auto *edit = qobject_cast<CNumEdit *>(f))
            OnNavigationKey(GetCtrlId(edit), VK_RIGHT);
        else
            Edit(IDC_THRESHOLD)->setFocus();
        e->accept();
        return;
    }
    case Qt::Key_Escape:
        setFocus();
        e->accept();
        return;
    default: QDialog::keyPressEvent(e);
    }
}

// ---- the limiter panel -------------------------------------------------------------------------

bool CAdv_Seting::Linked(int row, int to) const
{
    if (!g_bAnyLink.load() || row < 0 || to < 0 || row >= 8 || to >= 8)
        return false;
    const int a = g_LinkGroups[std::size_t(row)].load(), b = g_LinkGroups[std::size_t(to)].load();
    return a != 0 && a == b;
}

void CAdv_Seting::MarkRow(int row, bool selected, bool linked)
{
    m_list->SetItemText(row, 2, selected || linked ? QTr(StrId::AdvEditMark) : QString());
    m_list->SetItemText(row, 3, linked ? QTr(StrId::AdvLinkMark) : QString());
    if (linked)
        m_list->SetCellBkColor(3, row, kLinkCell);
}

void CAdv_Seting::SelectRow(int a)
{
    if (a < 0) {
        m_nSelRow = 0;
    } else {
        // Clear the marks of the selected row and its group.
        for (int r = 0; r < 8; ++r) {
            if (r == m_nSelRow || Linked(r, m_nSelRow)) {
                m_list->SetItemText(r, 2, QString());
                m_list->SetItemText(r, 3, QString());
                m_list->SetCellBkColor(3, r, kPlainCell);
            }
        }
        m_nSelRow = std::clamp(a, 0, 7);
    }
    for (int r = 0; r < 8; ++r)
        if (r != m_nSelRow && Linked(r, m_nSelRow))
            MarkRow(r, false, true);
    MarkRow(m_nSelRow, true, false);
    m_list->selectRow(m_nSelRow);
    m_list->scrollToItem(m_list->item(m_nSelRow, 0));

    if (!m_pRoot)
        return;
    m_pOut = m_pRoot->GetOut(m_nSelRow);
    if (!m_pOut)
        return;
    Spin(IDC_LIM_THRESHOLD_SPIN)->SetPos(m_pOut->GetLimitThreshold());
    Spin(IDC_LIM_LEVEL_SPIN)->SetPos(m_pOut->GetLimitThreshold());
    Spin(IDC_LIM_ATTACK_SPIN)->SetPos(m_pOut->GetLimitAttack());
    Spin(IDC_LIM_RELEASE_SPIN)->SetPos(m_pOut->GetLimitRelease() + kReleaseBase);
    m_curve->SelectChannel(m_nSelRow);
}

void CAdv_Seting::OnListClick(int row)
{
    if (row < 0)
        return;
    if (row != m_nSelRow)
        SelectRow(row);
    Edit(IDC_LIM_THRESHOLD)->SetHighlight(0);
    Edit(IDC_LIM_LEVEL)->SetHighlight(0);
}

void CAdv_Seting::FillSpeakerTypes()
{
    const bool cn = g_bChinese.load() != 0;
    for (int i = 0; i < 8; ++i)
        m_list->SetItemText(i, 1, QString::fromUtf8(SpeakerTypeName(GetWorkingSpeakerType(i), cn)));
}

void CAdv_Seting::ResetMarks()
{
    for (int r = 0; r < 8; ++r) {
        m_list->SetItemText(r, 2, QString());
        m_list->SetItemText(r, 3, QString());
    }
    m_list->SetCellBkColor(3, 0, kPlainCell);
    SelectRow(-1);
}

// ---- painting and language ---------------------------------------------------------------------

void CAdv_Seting::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, Skins::Bitmap(g_bChinese.load() ? kBackgroundCn : kBackgroundEn));
}

void CAdv_Seting::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_list->columnCount() > 0) {
        ApplyTexts();
        ApplySkins();
        SetSourceSkin();
        FillSpeakerTypes();
        for (CNumEdit *edit : m_edits)
            edit->RefreshOffText();
        // The marks in the new language.
        const int row = m_nSelRow;
        ResetMarks();
        if (row != 0)
            SelectRow(row);
    }
    QDialog::changeEvent(e);
}
