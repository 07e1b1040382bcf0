#include "controls/GradientProgressCtrl.h"

#include "controls/MemoryDC.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"

#include <QPainter>

#include <cmath>
#include <cstdio>
#include <cstdlib>

CGradientProgressCtrl::CGradientProgressCtrl(QWidget *parent, int ctrlId) : QWidget(parent)
{
    SetCtrlId(this, ctrlId);
    m_clrBack = ToColorRef(palette().color(QPalette::Button));
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    // Positions posted from other threads arrive here, in order, as PBM_SETPOS.
    CMessageTable::Ensure(this)->On(PBM_SETPOS, [this](WPARAM, LPARAM) {
        update();
        return LRESULT(0);
    });
}

void CGradientProgressCtrl::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    m_nPos = lower;
    update();
}

void CGradientProgressCtrl::SetPos(int p)
{
    const int pos = std::min(p, m_nUpper.load());
    m_nPos = pos;
    if (CMessageTable *t = CMessageTable::Of(this))
        t->PostMessage(PBM_SETPOS, WPARAM(pos), 0);
}

int CGradientProgressCtrl::StepIt()
{
    const int old = m_nPos.load();
    SetPos(old + m_nStep);
    return old;
}

void CGradientProgressCtrl::SetBkColor(COLORREF c)
{
    m_clrBack = c;
    update();
}

int CGradientProgressCtrl::FilledExtent(int length) const
{
    const int lower = m_nLower.load(), upper = m_nUpper.load(), pos = m_nPos.load();
    if (pos <= lower || pos > upper || upper <= lower)
        return 0;
    // The same share as the percentage: (pos - lower) / (upper - lower).
    return int(double(pos - lower) / double(upper - lower) * length);
}

std::vector<CGradientProgressCtrl::Band> CGradientProgressCtrl::Bands(int length) const
{
    std::vector<Band> out;
    const int extent = FilledExtent(length);
    if (extent <= 0 || length <= 0)
        return out;
    const int dR = int(GetRValue(m_clrEnd)) - int(GetRValue(m_clrStart));
    const int dG = int(GetGValue(m_clrEnd)) - int(GetGValue(m_clrStart));
    const int dB = int(GetBValue(m_clrEnd)) - int(GetBValue(m_clrStart));
    const int n = std::max({std::abs(dR), std::abs(dG), std::abs(dB), 1});  // one band for a flat colour
    const double size = double(length) / n;
    for (int i = 0; i < n; ++i) {
        const int from = int(i * size), to = int((i + 1) * size);
        const COLORREF c = RGB(unsigned(int(GetRValue(m_clrStart)) + i * dR / n),
                               unsigned(int(GetGValue(m_clrStart)) + i * dG / n),
                               unsigned(int(GetBValue(m_clrStart)) + i * dB / n));
        out.push_back({from, to, c});  // bands narrower than a pixel stay in the count, draw nothing
        if (extent < to)
            break;  // the band that crosses the extent is drawn whole
    }
    return out;
}

QString CGradientProgressCtrl::PercentText() const
{
    if (!m_bShowPercent)
        return {};
    const int lower = m_nLower.load(), upper = m_nUpper.load(), pos = m_nPos.load();
    if (upper == lower)
        return {};
    const double pct = double(pos - lower) * 100.0 / double(upper - lower);
    char buf[32];
    std::snprintf(buf, sizeof buf, pos == upper ? "%3.0f %%" : "%3.2f %%", pct);
    return QString::fromLatin1(buf);
}

void CGradientProgressCtrl::paintEvent(QPaintEvent *)
{
    QPainter target(this);
    const QRect client = rect();
    const int length = m_bVertical ? client.height() : client.width();
    const int lower = m_nLower.load(), upper = m_nUpper.load(), pos = m_nPos.load();
    if (pos <= lower || pos > upper) {
        target.fillRect(client.adjusted(-2, -2, 2, 2), ToQColor(m_clrBack));
    } else {
        CMemoryDC mem(&target, client);
        QPainter &p = *mem.Painter();
        const std::vector<Band> bands = Bands(length);
        int end = 0;
        for (const Band &b : bands) {
            const QRect r = m_bVertical ? QRect(0, client.height() - b.to, client.width() + 1, b.to - b.from)
                                        : QRect(b.from, 0, b.to - b.from, client.height() + 1);
            if (b.to > b.from)
                p.fillRect(r, ToQColor(b.colour));
            end = b.to;
        }
        if (end < length) {
            const QRect rest = m_bVertical ? QRect(0, 0, client.width(), client.height() - end)
                                           : QRect(end, 0, client.width() - end, client.height());
            p.fillRect(rest, ToQColor(m_clrBack));
        }
        const QString pct = PercentText();
        if (!pct.isEmpty()) {
            p.setPen(ToQColor(m_clrText));
            p.drawText(client, Qt::AlignCenter | Qt::TextSingleLine, pct);
        }
    }
}
