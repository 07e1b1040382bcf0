#include "controls/BitmapSlider.h"

#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "model/DataDefine.h"
#include "platform/qt/HandCursor.h"
#include "platform/qt/WindowMessages.h"
#include "platform/qt/WndTimers.h"
#include "res/Skins.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {
// A bitmap resource as loading it gives it: nothing when no image has that id.
QPixmap LoadBitmap(int id, QSize size = {})
{
    return Skins::Has(SkinType::Bitmap, id) ? Skins::Bitmap(id, size) : QPixmap();
}

constexpr int kModeInverted80 = 10;
constexpr int kInvertedBase = 80;
constexpr int kGridShift = 192;  // value mode 2 counts the grid from entry 192
}

CBitmapSlider::CBitmapSlider(QWidget *parent) : QWidget(parent)
{
    m_pTimers = new CWndTimers(this, [this](int id) { OnTimer(id); });
    setCursor(HandCursor());
    setFocusPolicy(Qt::StrongFocus);
    CMessageTable::Ensure(this)->On(WM_SLIDER_TAKEFOCUS, [this](WPARAM, LPARAM) -> LRESULT {
        setFocus(Qt::OtherFocusReason);
        m_bFocusLook = 1;
        update();
        return 0;
    });
}

CBitmapSlider::~CBitmapSlider() { delete m_pThumbMask; }

void CBitmapSlider::SetNotifyStyle(int on)
{
    m_bNotify = on ? 1 : 0;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, !on);
}

void CBitmapSlider::PrepareMask(QPixmap &image, COLORREF clrKey, int x, int y)
{
    QImage img = image.toImage().convertToFormat(QImage::Format_ARGB32);
    QRgb key;
    if (clrKey == kKeyFromPixel) {
        key = img.valid(x, y) ? img.pixel(x, y) : img.pixel(0, 0);
    } else {
        key = qRgb(int(GetRValue(clrKey)), int(GetGValue(clrKey)), int(GetBValue(clrKey)));
    }
    // Key-coloured pixels become transparent.
    for (int row = 0; row < img.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(row));
        for (int col = 0; col < img.width(); ++col)
            if ((line[col] & 0xFFFFFF) == (key & 0xFFFFFF))
                line[col] = 0;
    }
    image = QPixmap::fromImage(img);
}

// Loads a face and, when activeId is set, its active face at the same size, both masked alike.
// Answers 1 when all asked for loaded, 0 when the face is missing, -1 when only the active face is.
int CBitmapSlider::LoadFacePair(int id, int activeId, int transparent, COLORREF clrKey, int x, int y,
                                QPixmap &img, QPixmap &active)
{
    img = LoadBitmap(id);
    if (img.isNull())
        return 0;
    if (transparent)
        PrepareMask(img, clrKey, x, y);
    active = QPixmap();
    if (activeId) {
        active = LoadBitmap(activeId, img.size());
        if (active.isNull())
            return -1;
        if (transparent)
            PrepareMask(active, clrKey, x, y);
    }
    return 1;
}

int CBitmapSlider::FacePairAvailable(int id, int activeId)
{
    if (!Skins::Has(SkinType::Bitmap, id) || Skins::NaturalSize(SkinType::Bitmap, id).isEmpty())
        return 0;
    if (activeId && !Skins::Has(SkinType::Bitmap, activeId))
        return -1;
    return 1;
}

void CBitmapSlider::MakePendingFaces()
{
    if (m_bChannelPending) {
        m_bChannelPending = false;
        const FaceIds &f = m_channelFaces;
        LoadFacePair(f.id, f.activeId, f.transparent, f.key, f.x, f.y, m_bmChannel, m_bmChannelActive);
    }
    if (m_bThumbPending) {
        m_bThumbPending = false;
        const FaceIds &f = m_thumbFaces;
        LoadFacePair(f.id, f.activeId, f.transparent, f.key, f.x, f.y, m_bmThumb, m_bmThumbActive);
    }
}

bool CBitmapSlider::SetChannelBitmaps(int id, int activeId, int transparent, COLORREF clrKey, int x, int y)
{
    if (id == 0) {
        m_bChannelSet = 0;
        m_bChannelPending = false;
        m_bmChannel = m_bmChannelActive = QPixmap();
        m_bHasActiveChannel = 0;
        update();
        return true;
    }
    const int available = FacePairAvailable(id, activeId);
    if (available <= 0) {
        if (available < 0) {
            m_bChannelPending = false;
            m_bmChannel = QPixmap();
            m_bChannelSet = 0;
        }
        return false;
    }
    // The size is known now; the faces are drawn at the first paint.
    const QSize size = Skins::NaturalSize(SkinType::Bitmap, id);
    m_channelFaces = FaceIds{id, activeId, transparent, clrKey, x, y};
    m_bChannelPending = true;
    m_bmChannel = m_bmChannelActive = QPixmap();
    m_bHasActiveChannel = activeId ? 1 : 0;
    m_nWidth = size.width();
    m_nHeight = size.height();
    resize(m_nWidth, m_nHeight);
    m_bChannelTransparent = transparent ? 1 : 0;
    m_bChannelSet = 1;
    update();
    return true;
}

bool CBitmapSlider::SetThumbBitmaps(int id, int activeId, int transparent, COLORREF clrKey, int x, int y)
{
    if (id == 0) {
        m_bThumbSet = 0;
        m_bThumbPending = false;
        m_bmThumb = m_bmThumbActive = QPixmap();
        delete m_pThumbMask;
        m_pThumbMask = nullptr;
        m_nLastThumbId = -1;
        update();
        return true;
    }
    if (id == m_nLastThumbId)
        return true;
    const int available = FacePairAvailable(id, activeId);
    if (available <= 0) {
        if (available < 0) {
            m_bThumbPending = false;
            m_bmThumb = QPixmap();
            m_bThumbSet = 0;
        }
        return false;
    }
    const QSize size = Skins::NaturalSize(SkinType::Bitmap, id);
    m_thumbFaces = FaceIds{id, activeId, transparent, clrKey, x, y};
    m_bThumbPending = true;
    m_bmThumb = m_bmThumbActive = QPixmap();
    m_bHasActiveThumb = activeId ? 1 : 0;
    m_nThumbWidth = size.width();
    m_nThumbHeight = size.height();
    if (!m_bChannelSet) {
        m_nWidth = width();
        m_nHeight = height();
    }
    m_bThumbTransparent = transparent ? 1 : 0;
    m_bThumbSet = 1;
    m_nLastThumbId = id;
    update();
    return true;
}

void CBitmapSlider::SetThumbMaskBitmap(int id)
{
    QPixmap img = LoadBitmap(id);
    if (img.isNull())
        return;
    delete m_pThumbMask;
    QImage im = img.toImage();
    const QRgb key = im.pixel(0, 0);
    m_pThumbMask = new QBitmap(QBitmap::fromImage(im.createMaskFromColor(key, Qt::MaskInColor)));
    img.setMask(*m_pThumbMask);
    m_bmThumbDisabled = img;
    update();
}

void CBitmapSlider::SetMargin(int left, int top, int right, int bottom)
{
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
}

void CBitmapSlider::SetRange(int /*min*/, int max, int redraw)
{
    m_nMax = max;
    m_nMin = 0;
    if (redraw)
        update();
}

void CBitmapSlider::SetPos(int pos)
{
    m_nPos = std::clamp(pos, m_nMin, std::max(m_nMin, m_nMax));
    update();
}

void CBitmapSlider::SetInvertedPos(int value)
{
    // Values from outside (a device, a file) may lie beyond the range: limit them.
    const long long v = m_nValueMode == kModeInverted80 ? static_cast<long long>(m_nMax) - (static_cast<long long>(value) - kInvertedBase)
                                                         : static_cast<long long>(m_nMax) - value;
    m_nPos = static_cast<int>(std::clamp<long long>(v, m_nMin, std::max(m_nMin, m_nMax)));
    repaint();
}

int CBitmapSlider::GetInvertedPos() const
{
    return m_nValueMode == kModeInverted80 ? m_nMax - m_nPos + kInvertedBase : m_nMax - m_nPos;
}

void CBitmapSlider::SetPosByFreq(int freq)
{
    if (m_nValueMode == 1)
        m_nPos = m_nMax - NearestFreqIndex(freq);
    else if (m_nValueMode == 2)
        m_nPos = m_nMax - NearestFreqIndex(freq) + kGridShift;
    SetPos(m_nPos);
}

int CBitmapSlider::GetFreq() const
{
    const int i = std::clamp(m_nValueMode == 2 ? m_nMax + kGridShift - m_nPos : m_nMax - m_nPos, 0, kFreqPoints - 1);
    return static_cast<int>(g_FreqTable241[i]);
}

void CBitmapSlider::SetPosFromMax(int value)
{
    m_nPos = std::clamp(m_nMax - value, m_nMin, std::max(m_nMin, m_nMax));
    update();
}

int CBitmapSlider::SetPageSize(int size)
{
    const int old = m_nPage;
    m_nPage = size;
    return old;
}

void CBitmapSlider::SetDrawFocusRect(int on, int redraw)
{
    m_bDrawFocusRect = on;
    if (redraw)
        update();
}

void CBitmapSlider::Enable(int on)
{
    m_bEnabled = on ? 1 : 0;
    if (!on && m_bDragging) {
        m_bDragging = 0;
        m_pTimers->KillTimer(kDragTimer);
        releaseMouse();
    }
    update();
}

void CBitmapSlider::EnableMoveNotify(int on)
{
    m_bMoveNotify = on ? 1 : 0;
    setMouseTracking(on != 0);
}

void CBitmapSlider::SetFocusLook(int on)
{
    if ((on ? 1 : 0) == m_bFocusLook)
        return;
    m_bFocusLook = on ? 1 : 0;
    update();
}

SliderTrack CBitmapSlider::Track() const
{
    const int w = m_nWidth > 0 ? m_nWidth : width();
    const int h = m_nHeight > 0 ? m_nHeight : height();
    if (m_bVertical)
        return SliderTrack{h, m_nMarginTop, m_nMarginBottom, m_nThumbHeight, m_nMin, m_nMax};
    return SliderTrack{w, m_nMarginLeft, m_nMarginRight, m_nThumbWidth, m_nMin, m_nMax};
}

int CBitmapSlider::Along(QPointF p) const { return m_bVertical ? int(p.y()) : int(p.x()); }

void CBitmapSlider::PostToParent(unsigned msg)
{
    if (QWidget *p = parentWidget())
        PostMessageTo(p, msg, WPARAM(GetCtrlId(this)), LPARAM(m_nPos));
}

void CBitmapSlider::StepToward(int coord)
{
    if (!m_bDragging || !m_bEnabled)
        return;
    const SliderTrack t = Track();
    const int c = t.ClampPixel(coord - m_nDragOffset);
    if (c != t.PosToPixel(m_nPos)) {
        SetPos(t.PixelToPos(c) < m_nPos ? m_nPos - 1 : m_nPos + 1);
        m_bDragging = 0;
        m_bChanging = 1;
    }
}

void CBitmapSlider::mousePressEvent(QMouseEvent *e)
{
    if (!m_bEnabled || e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_bDragging = 1;
    const SliderTrack t = Track();
    const int along = Along(e->position());
    const int centre = t.PosToPixel(m_nPos);
    const int half = (m_bVertical ? m_nThumbHeight : m_nThumbWidth) / 2;
    m_nDragOffset = std::abs(along - centre) <= half ? along - centre : 0;
    StepToward(along);
    m_pTimers->SetTimer(kDragTimer, kDragTimerMs);
    update();
    e->accept();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent *e)
{
    if (m_bDragging && m_bEnabled) {
        const SliderTrack t = Track();
        const int c = t.ClampPixel(Along(e->position()) - m_nDragOffset);
        // Several positions can share the first pixel: let a drag reach the minimum.
        if (t.PixelToPos(m_nPos) <= 0) {
            SetPos(t.PixelToPos(c));
            m_bChanging = 1;
        }
        if (c != t.PosToPixel(m_nPos)) {
            SetPos(t.PixelToPos(c));
            m_bChanging = 1;
        }
        e->accept();
        return;
    }
    const QPoint pt = e->position().toPoint();
    if (m_bMoveNotify && pt != m_ptLast) {
        m_ptLast = pt;
        if (QWidget *p = parentWidget())
            SendMessageTo(p, WM_CTRL_MOUSEMOVE, WPARAM(MouseKeyFlags(e->buttons(), e->modifiers())), LPARAM(GetCtrlId(this)));
    }
    e->accept();
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent *e)
{
    if (!m_bEnabled || e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    m_bDragging = 0;
    update();
    PostToParent(WM_SLIDER_POS_CHANGED);
    m_bChanging = 0;
    m_pTimers->KillTimer(kDragTimer);
    e->accept();
}

void CBitmapSlider::OnTimer(int id)
{
    if (id != kDragTimer)
        return;
    if (m_bChanging) {
        PostToParent(WM_SLIDER_POS_CHANGING);
        m_bChanging = 0;
    }
}

void CBitmapSlider::keyPressEvent(QKeyEvent *e)
{
    if (!m_bEnabled) {
        e->accept();
        return;
    }
    int pos = m_nPos;
    switch (e->key()) {
    case Qt::Key_PageUp: pos -= m_nPage; break;
    case Qt::Key_PageDown: pos += m_nPage; break;
    case Qt::Key_End: pos = m_nMax; break;
    case Qt::Key_Home: pos = m_nMin; break;
    case Qt::Key_Left:
    case Qt::Key_Up: pos -= 1; break;
    case Qt::Key_Right:
    case Qt::Key_Down: pos += 1; break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    SetPos(pos);
    PostToParent(WM_SLIDER_POS_CHANGED);
    e->accept();
}

void CBitmapSlider::wheelEvent(QWheelEvent *e)
{
    // Deltas add up to whole notches, so fine wheels and touchpads move the slider too.
    const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    const int notches = m_wheel.Add(delta);
    if (notches != 0)
        SetPos(m_bVertical ? m_nPos - notches : m_nPos + notches);
    PostToParent(WM_SLIDER_POS_CHANGED);
    e->accept();
}

void CBitmapSlider::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    if (m_pBuddy)
        m_pBuddy->SetHighlight(1);
    m_bFocusLook = 1;
    PostToParent(WM_SLIDER_POS_CHANGING);
    update();
}

void CBitmapSlider::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    m_bFocusLook = 0;
    if (m_pBuddy)
        m_pBuddy->SetHighlight(0);
    update();
}

void CBitmapSlider::paintEvent(QPaintEvent *)
{
    MakePendingFaces();
    QPainter p(this);
    const SliderTrack t = Track();
    const int px = t.PosToPixel(m_nPos);
    const int w = m_nWidth > 0 ? m_nWidth : width();
    const int h = m_nHeight > 0 ? m_nHeight : height();

    if (m_bChannelSet) {
        if (m_bEnabled && m_bHasActiveChannel) {
            const int cut = std::clamp(px, 0, m_bVertical ? h : w);
            if (m_bVertical) {
                p.drawPixmap(QRect(0, cut, w, h - cut), m_bmChannel, QRect(0, cut, w, h - cut));
                p.drawPixmap(QRect(0, 0, w, cut), m_bmChannelActive, QRect(0, 0, w, cut));
            } else {
                p.drawPixmap(QRect(cut, 0, w - cut, h), m_bmChannel, QRect(cut, 0, w - cut, h));
                p.drawPixmap(QRect(0, 0, cut, h), m_bmChannelActive, QRect(0, 0, cut, h));
            }
        } else {
            p.drawPixmap(0, 0, m_bmChannel);
        }
    }

    const QPoint place = m_bVertical ? QPoint(m_nMarginLeft, px - m_nThumbHeight / 2)
                                     : QPoint(px - m_nThumbWidth / 2, m_nMarginTop);
    if (m_bThumbSet && m_bEnabled) {
        QPixmap thumb = ((m_bDragging || m_bFocusLook) && m_bHasActiveThumb) ? m_bmThumbActive : m_bmThumb;
        if (m_pThumbMask && m_bThumbTransparent && m_pThumbMask->size() == thumb.size())
            thumb.setMask(*m_pThumbMask);
        p.drawPixmap(place, thumb);
    } else if (!m_bmThumbDisabled.isNull()) {
        p.drawPixmap(place, m_bmThumbDisabled);
    }
}
