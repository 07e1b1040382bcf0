#include "controls/SkinButton.h"

#include "controls/BitButton.h"
#include "controls/CtrlMessages.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/HandCursor.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"

#include <QBitmap>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <iterator>

CSkinButton::CSkinButton(QWidget *parent, int ctrlId, unsigned style) : QAbstractButton(parent)
{
    if (ctrlId)
        SetCtrlId(this, ctrlId);
    PreSubclassWindow(style);
    m_font = MakeFont(QStringLiteral("Arial"), 18, 500);
    m_pTimers = new CWndTimers(this, [this](int id) {
        if (id == kRepeatTimer && parentWidget())
            PostMessageTo(parentWidget(), WM_SKINBTN_REPEAT, WPARAM(GetCtrlId(this)), LPARAM(m_nRepeatValue));
    });
    setCursor(HandCursor());
    setFocusPolicy(Qt::StrongFocus);
    CMessageTable::Ensure(this)->On(WM_SKINBTN_UNCHECK, [this](WPARAM, LPARAM) -> LRESULT {
        if (m_bChecked) {
            m_bChecked = 0;
            update();
        }
        return 0;
    });
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyParent(this, BN_CLICKED); });
}

CSkinButton::~CSkinButton() = default;

void CSkinButton::PreSubclassWindow(unsigned style)
{
    const unsigned s = style & 0xFF;
    m_nKind = (s & 3) == 3 ? 2 : (s & 9) == 9 ? 4 : 0;
}

QRegion CSkinButton::RegionFromMask(const QImage &mask)
{
    QRegion region;
    const QImage img = mask.convertToFormat(QImage::Format_RGB32);
    for (int y = img.height() - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && (line[x] & 0xFFFFFF) == 0xFFFFFF)
                ++x;
            const int start = x;
            while (x < img.width() && (line[x] & 0xFFFFFF) != 0xFFFFFF)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

void CSkinButton::SetSkinBitmaps(int normal, int pressed, int hover, int disabled, int focus, int mask, int drawMode,
                                 int border, int focusMargin)
{
    const int ids[6] = {normal, pressed, hover, disabled, focus, mask};
    std::copy(std::begin(ids), std::end(ids), m_skinIds);
    LoadSkins();
    m_nDrawMode = drawMode < 0 ? 0 : drawMode > 1 ? 2 : drawMode;
    m_bBorder = border;
    m_nFocusMargin = focusMargin < 0 ? 0 : focusMargin;
    if (!m_bmMask.isNull()) {
        if (m_nDrawMode == 0)
            resize(m_bmMask.size());
        m_region = RegionFromMask(m_bmMask.toImage());
        setMask(m_region);
    } else {
        m_region = QRegion();
        clearMask();
    }
    if (parentWidget())
        parentWidget()->update(geometry());
    update();
}

void CSkinButton::LoadSkins()
{
    const auto load = [](int id) { return id ? Skins::Bitmap(id) : QPixmap(); };
    m_bmNormal = load(m_skinIds[0]);
    m_bmPressed = load(m_skinIds[1]);
    m_bmHover = load(m_skinIds[2]);
    m_bmDisabled = m_skinIds[3] ? load(m_skinIds[3]) : m_bmNormal;
    m_bmFocus = load(m_skinIds[4]);
    m_bmMask = load(m_skinIds[5]);
}

void CSkinButton::changeEvent(QEvent *e)
{
    // Skins with words are drawn per language; the mask's shape is the same in both.
    if (e->type() == QEvent::LanguageChange) {
        const QPixmap mask = m_bmMask;
        LoadSkins();
        m_bmMask = mask;
    }
    QAbstractButton::changeEvent(e);
}

COLORREF CSkinButton::SetTextColor(COLORREF c)
{
    const COLORREF old = m_clrCaption;
    m_clrCaption = c;
    return old;
}

void CSkinButton::SetTipText(const QString &text) { setToolTip(text); }

void CSkinButton::SetTipColors(COLORREF text, COLORREF background)
{
    if (toolTip().isEmpty())
        return;
    QPalette pal = QToolTip::palette();
    pal.setColor(QPalette::ToolTipText, ToQColor(text));
    pal.setColor(QPalette::ToolTipBase, ToQColor(background));
    QToolTip::setPalette(pal);
}

void CSkinButton::EnableRepeat(int value)
{
    m_bRepeat = 1;
    m_nRepeatValue = value;
}

void CSkinButton::SetCheck(int on)
{
    m_bChecked = (on && m_nKind != 0) ? 1 : 0;
    if (m_bChecked && m_nKind == 4 && parentWidget()) {
        for (QObject *o : parentWidget()->children()) {
            auto *other = qobject_cast<CSkinButton *>(o);
            if (other && other != this && other->m_nKind == 4)
                PostMessageTo(other, WM_SKINBTN_UNCHECK, 0, 0);
        }
    }
    update();
}

void CSkinButton::ToggleByUser()
{
    if (m_nKind == 2)
        SetCheck(!m_bChecked);
    else if (m_nKind == 4)
        SetCheck(1);
}

void CSkinButton::DrawSkin(QPainter &p, const QPixmap &bmp, const QRect &r) const
{
    QPixmap img = bmp;
    if (!m_bmMask.isNull()) {
        // White pixels of the mask keep what lies below.
        const QImage maskImg = m_bmMask.toImage().convertToFormat(QImage::Format_RGB32);
        QBitmap keep = QBitmap::fromImage(maskImg.createMaskFromColor(qRgb(255, 255, 255), Qt::MaskInColor));
        if (m_nDrawMode == 1)
            keep = QBitmap::fromPixmap(keep.scaled(r.size()));
        if (m_nDrawMode == 1)
            img = img.scaled(r.size());
        if (keep.size() == img.size())
            img.setMask(keep);
    }
    if (m_nDrawMode == 2) {
        p.drawTiledPixmap(r, img);
    } else if (m_nDrawMode == 1) {
        p.drawPixmap(r, img);
    } else {
        p.save();
        p.setClipRect(r);
        p.drawPixmap(r.topLeft(), img);
        p.restore();
    }
}

void CSkinButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    QRect caption = r.adjusted(m_nFocusMargin + 2, 0, -(m_nFocusMargin + 2), 0);
    // Without a skin the button shows the console's own button face for its state.
    const auto face = [&](SkinState state) {
        SkinSpec spec;
        spec.style = SkinStyle::Button;
        spec.state = state;
        Skins::Paint(p, r, spec, false);
    };
    const auto faceOr = [&](const QPixmap &bmp, SkinState state) {
        if (bmp.isNull())
            face(state);
        else
            DrawSkin(p, bmp, r);
    };
    const auto edge = [&](bool sunken) {
        if (!m_bBorder)
            return;
        p.setPen(QColor(sunken ? Skins::Palette::Frame : Skins::Palette::PanelLight));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(QColor(sunken ? Skins::Palette::PanelLight : Skins::Palette::Frame));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    p.setFont(m_font);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (!isEnabled()) {
        faceOr(m_bmDisabled, m_bChecked ? SkinState::DisabledChecked : SkinState::Disabled);
        edge(false);
        p.setPen(QColor(Skins::Palette::PanelLight));
        p.drawText(caption.translated(m_bChecked ? 1 : 0, m_bChecked ? 1 : 0), flags, text());
        p.setPen(QColor(Skins::Palette::TextDim));
        p.drawText(caption, flags, text());
        return;
    }
    if (isDown() || m_bChecked) {
        faceOr(m_bmPressed, isDown() ? SkinState::Pressed : SkinState::Checked);
        caption.translate(1, 1);
        edge(true);
    } else {
        if (m_bmNormal.isNull())
            face(m_bHover ? SkinState::Hover : SkinState::Normal);
        else if (m_bHover && !m_bmHover.isNull())
            DrawSkin(p, m_bmHover, r);
        else if (hasFocus() && !m_bmFocus.isNull())
            DrawSkin(p, m_bmFocus, r);
        else
            DrawSkin(p, m_bmNormal, r);
        edge(false);
    }
    if (hasFocus() && m_nFocusMargin > 0) {
        p.setPen(QPen(QColor(Skins::Palette::Accent), 1, Qt::DotLine));
        p.drawRect(r.adjusted(m_nFocusMargin, m_nFocusMargin, -m_nFocusMargin - 1, -m_nFocusMargin - 1));
    }
    const bool red = m_bHover || m_bDown;
    p.setPen(ToQColor(red ? m_clrHoverCaption : (m_bmNormal.isNull() && m_clrCaption == 0 ? ToColorRef(QColor(Skins::Palette::Text)) : m_clrCaption)));
    p.drawText(caption, flags, text());
}

void CSkinButton::enterEvent(QEnterEvent *e)
{
    if (!m_bHover) {
        m_bHover = 1;
        update();
    }
    QAbstractButton::enterEvent(e);
}

void CSkinButton::leaveEvent(QEvent *e)
{
    m_bHover = 0;
    update();
    QAbstractButton::leaveEvent(e);
}

void CSkinButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_bHover = 0;
        m_bDown = 1;
        if (m_bRepeat)
            m_pTimers->SetTimer(kRepeatTimer, kRepeatMs);
    }
    QAbstractButton::mousePressEvent(e);
}

void CSkinButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        if (m_nKind != 0 && rect().contains(e->position().toPoint()))
            ToggleByUser();
        m_bDown = 0;
        if (m_bRepeat)
            m_pTimers->KillTimer(kRepeatTimer);
        update();
    }
    QAbstractButton::mouseReleaseEvent(e);
}

void CSkinButton::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat())
        ToggleByUser();
    QAbstractButton::keyPressEvent(e);
}

void CSkinButton::focusOutEvent(QFocusEvent *e)
{
    m_bDown = 0;
    m_pTimers->KillTimer(kRepeatTimer);
    QAbstractButton::focusOutEvent(e);
}
