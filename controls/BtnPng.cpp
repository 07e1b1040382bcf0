#include "controls/BtnPng.h"

#include "controls/BitButton.h"
#include "controls/CtrlMessages.h"
#include "platform/GlobalData.h"
#include "platform/qt/HandCursor.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QTransform>

CBtnPng::CBtnPng(QWidget *parent, int ctrlId, unsigned style) : QAbstractButton(parent)
{
    if (ctrlId)
        SetCtrlId(this, ctrlId);
    PreSubclassWindow(style);
    setCursor(HandCursor());
    setMouseTracking(true);
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyParent(this, BN_CLICKED); });
}

CBtnPng::~CBtnPng() = default;

void CBtnPng::PreSubclassWindow(unsigned style)
{
    const unsigned s = style & 0xFF;
    m_nKind = (s & 3) == 3 ? 2 : (s & 9) == 9 ? 4 : 0;
}

void CBtnPng::Load(Slot s, int id)
{
    // An image that does not exist leaves the slot empty rather than half-made: the button then
    // shows the look of an earlier slot, or nothing at all.
    // The image itself is drawn at the first paint: a button that stays hidden draws none.
    const bool exists = id != 0 && Skins::Has(SkinType::Png, id);
    m_images[s] = exists ? id : 0;
}

QSize CBtnPng::ImageSize(Slot s) const
{
    return m_images[s] != 0 ? Skins::NaturalSize(SkinType::Png, m_images[s]) : QSize();
}

void CBtnPng::LoadImages(int normal, int hover, int pressed)
{
    Load(Normal, normal);
    Load(Hover, hover);
    Load(Pressed, pressed);
    if (const QSize natural = ImageSize(Normal); !natural.isEmpty()) {
        resize(natural);
        raise();
    }
}

void CBtnPng::LoadCheckedImages(int normal, int hover, int pressed)
{
    Load(CheckedNormal, normal);
    Load(CheckedHover, hover);
    Load(CheckedPressed, pressed);
}

void CBtnPng::LoadDisabledImages(int unchecked, int checked)
{
    Load(DisabledUnchecked, unchecked);
    Load(DisabledChecked, checked);
    if (const QSize natural = ImageSize(DisabledUnchecked); !natural.isEmpty()) {
        resize(natural);
        raise();
    }
}

void CBtnPng::LoadAltLanguageImages(int normal, int hover, int pressed, int checkedNormal, int checkedHover,
                                    int checkedPressed)
{
    Load(LangNormal, normal);
    Load(LangHover, hover);
    Load(LangPressed, pressed);
    Load(LangCheckedNormal, checkedNormal);
    Load(LangCheckedHover, checkedHover);
    Load(LangCheckedPressed, checkedPressed);
    m_bLangLoaded = 1;
}

void CBtnPng::SetRotateFlip(int type) { m_nRotateFlip = type; }

void CBtnPng::PreRender()
{
    if (m_bRendered)
        return;
    m_bRendered = true;
    QPixmap last;  // what the surface held last: a slot without an image shows it
    const int count = m_bLangLoaded ? SlotCount : LangNormal;
    for (int i = 0; i < count; ++i) {
        QPixmap img;
        if (m_images[i] != 0)
            img = Skins::Png(m_images[i], {}, (i >= LangNormal) ? SkinLang::Chinese : SkinLang::English);
        if (!img.isNull()) {
            if (m_nRotateFlip) {
                QTransform t;
                t.rotate(90.0 * (m_nRotateFlip & 3));
                img = img.transformed(t);
                if (m_nRotateFlip & 4)
                    img = img.transformed(QTransform::fromScale(-1, 1));
            }
            last = img.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        m_rendered[i] = last;
    }
}

CBtnPng::Slot CBtnPng::CurrentSlot() const
{
    const bool lang = m_bLangLoaded && g_bChinese.load();
    if (!isEnabled())
        return m_nCheck ? DisabledChecked : DisabledUnchecked;
    if (m_nCheck) {
        if (m_bHover && m_bPressed)
            return lang ? LangCheckedPressed : CheckedPressed;
        if (m_bHover)
            return lang ? LangCheckedHover : CheckedHover;
        return lang ? LangCheckedNormal : CheckedNormal;
    }
    if (m_bHover && m_bPressed)
        return lang ? LangPressed : Pressed;
    if (m_bHover)
        return lang ? LangHover : Hover;
    return lang ? LangNormal : Normal;
}

void CBtnPng::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_nKind == 4)
        return;
    if (m_nKind == 2) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.text = text();
        opt.state |= m_nCheck ? QStyle::State_On : QStyle::State_Off;
        style()->drawControl(QStyle::CE_CheckBox, &opt, &p, this);
        return;
    }
    PreRender();
    const QPixmap &look = m_rendered[CurrentSlot()];
    if (!look.isNull())
        p.drawPixmap(0, 0, look);
}

void CBtnPng::SetCheck(int on)
{
    if (on == m_nCheck)
        return;
    m_nCheck = on;
    if (!on)
        HoverLinked(0);
    update();
}

void CBtnPng::SetHover(int on)
{
    m_bHover = on;
    update();
}

void CBtnPng::SetLinkedButtons(CBtnPng *a, CBtnPng *b)
{
    m_pLinked[0] = a;
    m_pLinked[1] = b;
}

void CBtnPng::HoverLinked(int on)
{
    for (auto &l : m_pLinked)
        if (l)
            l->SetHover(on);
}

void CBtnPng::ShowWindow(int cmd)
{
    if (cmd == SW_HIDE)
        m_pLinked[0] = m_pLinked[1] = nullptr;
    update();
    setVisible(cmd != SW_HIDE);
}

void CBtnPng::enterEvent(QEnterEvent *e)
{
    if (!m_bHover) {
        update();
        if (!m_nCheck)
            HoverLinked(1);
    }
    m_bHover = 1;
    QAbstractButton::enterEvent(e);
}

void CBtnPng::leaveEvent(QEvent *e)
{
    m_bHover = 0;
    update();
    if (!m_nCheck)
        HoverLinked(0);
    QAbstractButton::leaveEvent(e);
}

void CBtnPng::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pt = e->position().toPoint();
    if (m_bMoveNotify && pt != m_ptLast) {
        m_ptLast = pt;
        if (QWidget *p = parentWidget())
            SendMessageTo(p, WM_CTRL_MOUSEMOVE, WPARAM(MouseKeyFlags(e->buttons(), e->modifiers())), LPARAM(GetCtrlId(this)));
    }
    QAbstractButton::mouseMoveEvent(e);
}

void CBtnPng::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_bPressed = 1;
        m_bHover = 1;
        update();
    }
    QAbstractButton::mousePressEvent(e);
}

void CBtnPng::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_bPressed = 0;
    update();
    QAbstractButton::mouseReleaseEvent(e);
}
