#include "panels/input/InMode_Dlg.h"

#include "controls/BtnPng.h"
#include "model/DeviceImage.h"
#include "panels/input/InputMessages.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "res/Strings.h"

#include <QKeyEvent>
#include <QPainter>

namespace inmode {

int InputOf(int id)
{
    for (const Connector &c : kConnectors) {
        if (c.id == id)
            return c.input;
    }
    return -1;
}

int CheckedConnector(int selected, int mode)
{
    if (mode < 0 || mode > 2)
        return 0;
    static constexpr int kTable[7][3] = {
        {2705, 2705, 2705}, {2704, 2704, 2704}, {2715, 2715, 2715}, {2706, 2710, 2713},
        {2707, 2711, 2713}, {2708, 2710, 0},    {0, 0, 0},
    };
    return selected >= 0 && selected <= 6 ? kTable[selected][mode] : 0;
}

int UncheckedConnector(int selected, int mode)
{
    if (mode < 0 || mode > 2)
        return 0;
    static constexpr int kTable[7][3] = {
        {2705, 2705, 2705}, {2704, 2704, 2704}, {2715, 2715, 2715}, {2706, 2710, 2713},
        {2707, 2711, 2714}, {2708, 2712, 0},    {2706, 0, 0},
    };
    return selected >= 0 && selected <= 6 ? kTable[selected][mode] : 0;
}

std::array<int, 3> VisibleAuxConnectors(int mode)
{
    switch (mode) {
    case 0: return {2706, 2707, 2708};
    case 1: return {2710, 2711, 0};
    case 2: return {2713, 0, 0};
    default: return {0, 0, 0};
    }
}

}  // namespace inmode

namespace {

// Template 653 is laid out in Arial 8 dialog units.
DialogUnits TemplateUnits()
{
    static const DialogUnits u = DialogUnitsOf(MakePointFont(QStringLiteral("Arial"), 80));
    return u;
}

// The AUX connectors show the jacks of their input: two each in AUX mode 0, four on mode 1's AUX1
// and two on its AUX2, six on mode 2's AUX1. Each look (normal, hover, pressed) keeps the words
// and state of its described skin; only the plate gets its row of jacks.
void PaintJacks(QPainter &p, const QRect &r, const SkinSpec &s, bool chinese, int jacks)
{
    p.setRenderHint(QPainter::Antialiasing);
    const bool pressed = s.state == SkinState::Pressed || s.state == SkinState::Checked;
    const bool hover = s.state == SkinState::Hover;
    const QRectF box = QRectF(r).adjusted(2, 2, -2, -2);
    const QString label = QString::fromUtf8(chinese && *s.textCn ? s.textCn : s.textEn);
    const double labelH = label.isEmpty() ? 0 : 16;
    const QRectF plate = box.adjusted(0, 0, 0, -labelH);
    const QColor green(51, 200, 0);
    if (pressed) {
        QRadialGradient halo(box.center(), std::max(box.width(), box.height()) * 0.6);
        halo.setColorAt(0, QColor(51, 200, 0, 150));
        halo.setColorAt(1, QColor(51, 200, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawRect(QRectF(r));
    }
    const QColor ring = hover ? QColor::fromRgb(Skins::Palette::Accent) : pressed ? green : QColor(0x5A, 0x61, 0x6C);
    p.setPen(QPen(ring, 1.5));
    p.setBrush(QColor(0x20, 0x24, 0x2A));
    p.drawRoundedRect(plate, 5, 5);
    const int cols = jacks <= 2 ? 1 : jacks / 2, rows = 2;
    const double cw = plate.width() / cols, ch = plate.height() / rows;
    const double d = std::min(cw, ch) * 0.72;
    for (int k = 0; k < jacks; ++k) {
        const QPointF c(plate.left() + cw * (k / rows + 0.5), plate.top() + ch * (k % rows + 0.5));
        QRadialGradient metal(c - QPointF(d * 0.15, d * 0.15), d * 0.7);
        metal.setColorAt(0, QColor(0xF0, 0xD9, 0x8A));
        metal.setColorAt(1, QColor(0x8A, 0x6D, 0x24));
        p.setPen(QPen(QColor(0x0A, 0x0B, 0x0D), 1));
        p.setBrush(metal);
        p.drawEllipse(c, d / 2, d / 2);
        p.setBrush(QColor(0x0A, 0x0B, 0x0D));
        p.drawEllipse(c, d * 0.18, d * 0.18);
    }
    if (!label.isEmpty()) {
        p.setFont(MakeFont(chinese ? QStringLiteral("SimSun") : QStringLiteral("Arial"), chinese ? -12 : -10, 700));
        p.setPen(pressed ? green : QColor::fromRgb(Skins::Palette::Text));
        p.drawText(QRectF(box.left(), plate.bottom() + 1, box.width(), labelH), Qt::AlignCenter, label);
    }
}

void RegisterJackSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    struct Set {
        int first;  // three ids: normal, hover, pressed
        int jacks;
    } sets[] = {{655, 2}, {658, 2}, {661, 2}, {667, 4}, {700, 2}, {670, 6},
                {4430, 2}, {4433, 2}, {4436, 2}, {4439, 4}, {4442, 2}, {4445, 6}};
    for (const Set &set : sets) {
        for (int id = set.first; id < set.first + 3; ++id) {
            const SkinSpec *described = Skins::Find(SkinType::Png, id);
            if (!described)
                continue;
            const SkinSpec spec = *described;
            const QSize size(set.jacks == 6 ? 104 : set.jacks == 4 ? 80 : 64, spec.size.height());
            Skins::RegisterPainter(SkinType::Png, id, size, [spec, set](QPainter &p, const QRect &r, bool chinese) {
                PaintJacks(p, r, spec, chinese, set.jacks);
            });
        }
    }
}

}  // namespace

CInMode_Dlg::CInMode_Dlg(QWidget *parent) : QWidget(parent)
{
    InitQtGlobals();
    RegisterJackSkins();
    setFocusPolicy(Qt::ClickFocus);
    for (std::size_t k = 0; k < inmode::kConnectors.size(); ++k) {
        const inmode::Connector &c = inmode::kConnectors[k];
        auto *b = new CBtnPng(this, c.id);
        b->move(DluRect(c.x, c.y, 1, 1, TemplateUnits()).topLeft());
        b->setVisible(c.visibleAtStart);
        m_buttons[k] = b;
    }
    auto *table = CMessageTable::Ensure(this);
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) {
        const int id = int(LOWORD(w));
        if (inmode::InputOf(id) >= 0)
            OnConnectorButton(id);
        return LRESULT(0);
    });
    InitDialog();
}

CInMode_Dlg::~CInMode_Dlg() = default;

void CInMode_Dlg::InitDialog()
{
    resize(Skins::NaturalSize(SkinType::Png, kPanelPng));
    LoadButtonImages();
}

void CInMode_Dlg::LoadButtonImages()
{
    for (std::size_t k = 0; k < inmode::kConnectors.size(); ++k) {
        const inmode::Connector &c = inmode::kConnectors[k];
        CBtnPng *b = m_buttons[k];
        if (c.cn)
            b->LoadAltLanguageImages(c.cn, c.cn + 1, c.cn + 2, c.cn + 2, c.cn + 2, c.cn + 2);
        b->LoadImages(c.normal, c.hover, c.down);
        b->LoadCheckedImages(c.down, c.down, c.down);
    }
}

CBtnPng *CInMode_Dlg::Button(int id) const
{
    for (std::size_t k = 0; k < inmode::kConnectors.size(); ++k) {
        if (inmode::kConnectors[k].id == id)
            return m_buttons[k];
    }
    return nullptr;
}

void CInMode_Dlg::SetCheck(int id, int on)
{
    if (CBtnPng *b = Button(id))
        b->SetCheck(on);
}

void CInMode_Dlg::ShowAuxButtons()
{
    const int mode = g_nInputGroup.load();
    const auto shown = inmode::VisibleAuxConnectors(mode);
    if (shown[0] == 0)
        return;
    for (int id : {2706, 2707, 2708, 2710, 2711, 2713}) {
        const bool show = std::find(shown.begin(), shown.end(), id) != shown.end();
        Button(id)->setVisible(show);
    }
}

void CInMode_Dlg::CheckSelectedInput()
{
    UncheckAll();
    SetCheck(inmode::CheckedConnector(g_nSelInput.load(), g_nInputGroup.load()), 1);
}

void CInMode_Dlg::UncheckAll()
{
    for (int id : {2705, 2704, 2715})
        SetCheck(id, 0);
    switch (g_nInputGroup.load()) {
    case 0:
        for (int id : {2706, 2707, 2708})
            SetCheck(id, 0);
        break;
    case 1:
        for (int id : {2710, 2711, 2712})
            SetCheck(id, 0);
        break;
    case 2:
        for (int id : {2713, 2714})
            SetCheck(id, 0);
        break;
    default: break;
    }
}

void CInMode_Dlg::UncheckSelectedInput()
{
    SetCheck(inmode::UncheckedConnector(g_nSelInput.load(), g_nInputGroup.load()), 0);
}

void CInMode_Dlg::ShowPhoneButton(bool show)
{
    Button(2715)->setVisible(show);
}

void CInMode_Dlg::ShowSpdifButton(bool show)
{
    Button(2705)->setVisible(show);
}

void CInMode_Dlg::RedrawButtons()
{
    for (int id : {2704, 2705, 2706, 2707, 2708, 2710, 2711, 2713, 2715})
        Button(id)->Redraw();
}

void CInMode_Dlg::OnConnectorButton(int id)
{
    const int n = inmode::InputOf(id);
    if (n < 0)
        return;
    if (n != g_nSelInput.load()) {
        UncheckSelectedInput();
        SetCheck(id, 1);
    }
    if (QWidget *page = parentWidget())
        PostMessageTo(page, WM_INMODE_SELECT, 0, n);
}

void CInMode_Dlg::paintEvent(QPaintEvent *)
{
    // The page's own paint shows under the picture; the panel goes over it at its own size.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(0, 0, Skins::Png(kPanelPng));
}

void CInMode_Dlg::keyPressEvent(QKeyEvent *e)
{
    // Enter, Escape and Tab stay with the picture: it takes the focus itself.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape ||
        e->key() == Qt::Key_Tab) {
        setFocus();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void CInMode_Dlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange) {
        RedrawButtons();
        update();
    }
    QWidget::changeEvent(e);
}
