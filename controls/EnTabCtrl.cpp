#include "controls/EnTabCtrl.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/QtGlobals.h"

#include <QFontMetrics>
#include <QPainter>

unsigned CEnTabCtrl::s_dwCustomLook = 0;

namespace {
constexpr COLORREF kBlueBase = 0xDEA87F;
constexpr COLORREF kDialogBack = 0xEEE4E3;

QColor Q(COLORREF c) { return ToQColor(c); }
}  // namespace

CEnTabCtrl::CEnTabCtrl(QWidget *parent) : CBaseTabCtrl(parent, 0)
{
    SetTabFont(MakeFont(QStringLiteral("Verdana"), 20, 400));
}

CEnTabCtrl::~CEnTabCtrl() = default;

void CEnTabCtrl::EnableCustomLook(bool enable, unsigned flags) { s_dwCustomLook = enable ? flags : 0; }

COLORREF CEnTabCtrl::Darker(COLORREF c, float factor)
{
    factor = std::clamp(factor, 0.0f, 1.0f);
    return RGB(unsigned(GetRValue(c) * factor), unsigned(GetGValue(c) * factor), unsigned(GetBValue(c) * factor));
}

COLORREF CEnTabCtrl::Lighter(COLORREF c, float factor)
{
    factor = std::max(factor, 1.0f);
    const auto ch = [factor](unsigned v) { return std::min(255u, unsigned(v * factor)); };
    return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

COLORREF CEnTabCtrl::GetTabColor(bool selected)
{
    const unsigned f = s_dwCustomLook;
    if (selected) {
        if (f & ETC_SELECTION)
            return (f & ETC_COLOR) ? Lighter(0x000000, 1.9f) : Lighter(kColour3DFace, 1.4f);
        return kColour3DFace;
    }
    if ((f & ETC_BACKTABS) || !(f & ETC_FLAT)) {
        if (f & ETC_COLOR)
            return m_nCurItem == 3 ? kDialogBack : Darker(kBlueBase, 0.9f);
        return Darker(kColour3DFace, 0.9f);
    }
    return BackgroundOr3DFace();
}

COLORREF CEnTabCtrl::GetTabTextColor(bool selected)
{
    return selected ? Darker(0x0000FF, 0.9f) : Darker(0xFFFFFF, 0.9f);
}

void CEnTabCtrl::DrawItem(const TabDrawItem &item)
{
    QPainter &p = *item.dc;
    const bool selected = item.itemId == GetCurSel();
    m_nCurItem = item.itemId;
    QRect r = item.rcItem;
    // Right and bottom edges are exclusive here, as in the record.
    int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
    bottom += selected ? -1 : 2;
    const COLORREF from = GetTabColor(selected);
    const unsigned f = CustomLook();
    if ((f & ETC_GRADIENT) && m_nColourDepth >= 16) {
        const COLORREF to = selected ? kColour3DFace
                                     : ((f & ETC_COLOR) && GetBkColor() != COLORREF(-1)) ? Darker(GetBkColor(), 0.7f)
                                                                                          : Darker(kColour3DFace, 0.7f);
        const int h = bottom - top;
        for (int i = 0; i < h; i += 2) {
            const auto mix = [&](unsigned a, unsigned b) { return unsigned(int(a) + i * (int(b) - int(a)) / h); };
            const COLORREF c = RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
                                   mix(GetBValue(from), GetBValue(to)));
            p.fillRect(QRect(left, top + i, right - left, 2), Q(c));
        }
    } else {
        p.fillRect(QRect(left, top, right - left, bottom - top), Q(from));
    }
    left += 3;
    top += selected ? 4 : 3;
    const int image = GetItemImage(item.itemId);
    const auto &images = GetImageList();
    if (image >= 0 && size_t(image) < images.size()) {
        p.drawPixmap(left, top, images[size_t(image)]);
        left += 19;
    }
    right -= 3;
    const QRect textRect(left, top, std::max(0, right - left), 20);
    const QFontMetrics fm(font());
    const QString text = fm.elidedText(GetItemText(item.itemId).left(99), Qt::ElideRight, textRect.width());
    p.save();
    p.setFont(font());
    p.setPen(Q(GetTabTextColor(selected)));
    p.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();
}

void CEnTabCtrl::DrawItemBorder(const TabDrawItem &item)
{
    if (!(CustomLook() & ETC_FLAT))
        return;
    QPainter &p = *item.dc;
    const bool selected = item.itemId == GetCurSel();
    const COLORREF c = GetTabColor(selected);
    const QColor hi = Q(Lighter(c, 1.5f));
    const QColor shadow = Q(Darker(c, 0.75f));
    const int l = item.rcItem.left(), t = item.rcItem.top(), r = item.rcItem.left() + item.rcItem.width();
    int b = item.rcItem.top() + item.rcItem.height();
    const auto fill = [&](int x0, int y0, int x1, int y1, const QColor &col) {
        if (x1 > x0 && y1 > y0)
            p.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), col);
    };
    if (selected || (CustomLook() & ETC_BACKTABS)) {
        b += selected ? -1 : 1;
        switch (item.itemId) {
        case 3:
            break;
        case 0:
        case 4:
            fill(l, t, l + 4, b, shadow);
            fill(l, t, r, t + 1, shadow);
            fill(r - 3, t, r, b, shadow);
            break;
        case 9:
            fill(l, t, l + 3, b, hi);
            fill(l, t, r, t + 1, hi);
            break;
        default:
            fill(l, t, l + 4, b, hi);
            fill(l, t, r, t + 1, hi);
            fill(r - 4, t, r, b, shadow);
            break;
        }
    } else {
        fill(l - 6, t, l, b, shadow);
        fill(r - 1, t, r, b, shadow);
    }
}

void CEnTabCtrl::DrawMainBorder(const TabDrawItem &item)
{
    QPainter &p = *item.dc;
    const COLORREF c = GetTabColor(false);
    const QRect r = item.rcItem;
    p.setPen(Q(Lighter(c, 1.5f)));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(Q(Darker(c, 0.75f)));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}
