#pragma once
// The skinned slider of every fader: a channel image with an optional active (lit) part, a thumb
// image with an optional active look, both optionally keyed transparent, margins at the track's
// ends and an integer position (0 = top or left). It follows the mouse, the keyboard and the wheel
// and posts WM_SLIDER_POS_CHANGING while dragging (at most every 50 ms) and WM_SLIDER_POS_CHANGED
// when a change is done. Owners usually read it inverted (maximum − position).

#include "controls/NumEdit.h"
#include "controls/SliderTrack.h"
#include "model/FilterSlider.h"
#include "platform/WinCompat.h"

#include <QBitmap>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class CWndTimers;

class CBitmapSlider : public QWidget, public IFilterSlider {
    Q_OBJECT
public:
    static constexpr COLORREF kKeyFromPixel = 0xFF000000;  // take the key colour from a pixel
    static constexpr int kDragTimer = 5;
    static constexpr int kDragTimerMs = 50;

    explicit CBitmapSlider(QWidget *parent = nullptr);
    ~CBitmapSlider() override;

    bool SetChannelBitmaps(int id, int activeId, int transparent, COLORREF clrKey = kKeyFromPixel, int x = 0, int y = 0);
    bool SetThumbBitmaps(int id, int activeId, int transparent, COLORREF clrKey = kKeyFromPixel, int x = 0, int y = 0);
    void SetThumbMaskBitmap(int id);
    void SetMargin(int left, int top, int right, int bottom);
    void SetRange(int min, int max, int redraw = 0);
    void SetPos(int pos);
    int GetPos() const { return m_nPos; }
    int GetRangeMax() const { return m_nMax; }
    int GetRangeMin() const { return m_nMin; }
    void SetInvertedPos(int value) override;
    int GetInvertedPos() const;
    void SetPosByFreq(int freq) override;
    void SetValueMode(int mode) { m_nValueMode = mode; }
    void SetVertical(int on) { m_bVertical = on ? 1 : 0; }
    void Enable(int on);
    int IsEnabled() const { return m_bEnabled; }
    void EnableMoveNotify(int on);
    void SetBuddyEdit(CNumEdit *edit) { m_pBuddy = edit; }
    void SetFocusLook(int on);
    int GetFocusLook() const { return m_bFocusLook; }
    int SetPageSize(int size);
    void SetDrawFocusRect(int on, int redraw = 0);
    int GetFreq() const;
    int GetPosFromMax() const { return m_nMax - m_nPos; }
    void SetPosFromMax(int value);
    // The template's notify style: without it the slider is display-only (no mouse, no focus).
    void SetNotifyStyle(int on);

    // Geometry of the current track (for the owner's layout and tests).
    SliderTrack Track() const;
    int IsDragging() const { return m_bDragging; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void OnTimer(int id);
    void StepToward(int coord);
    int Along(QPointF p) const;
    void PostToParent(unsigned msg);
    static void PrepareMask(QPixmap &image, COLORREF clrKey, int x, int y);
    static int LoadFacePair(int id, int activeId, int transparent, COLORREF clrKey, int x, int y, QPixmap &img,
                            QPixmap &active);
    // What loading a face pair would answer (1, 0 or -1 as LoadFacePair), without drawing it.
    static int FacePairAvailable(int id, int activeId);
    // Draws the faces set since the last paint: a slider that is never shown never draws its skins.
    void MakePendingFaces();

    struct FaceIds {
        int id = 0, activeId = 0, transparent = 0;
        COLORREF key = 0;
        int x = 0, y = 0;
    };

    QPointer<CNumEdit> m_pBuddy;
    int m_nValueMode = 0;
    int m_bMoveNotify = 0;
    QPoint m_ptLast{-1, -1};
    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;
    int m_nPage = 13;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    int m_nMarginLeft = 0, m_nMarginTop = 0, m_nMarginRight = 0, m_nMarginBottom = 0;
    int m_nDragOffset = 0;
    int m_bChanging = 0;
    int m_bVertical = 1;
    int m_bHasActiveChannel = 0;
    int m_bHasActiveThumb = 0;
    int m_bChannelTransparent = 0;
    int m_bThumbTransparent = 0;
    int m_bThumbSet = 0;
    int m_bChannelSet = 0;
    int m_bDragging = 0;
    int m_bFocusLook = 0;
    int m_bDrawFocusRect = 1;
    int m_bEnabled = 1;
    int m_bNotify = 1;
    QPixmap m_bmChannel, m_bmChannelActive, m_bmThumb, m_bmThumbActive, m_bmThumbDisabled;
    QBitmap *m_pThumbMask = nullptr;  // shared by both thumb images once a mask image is set
    FaceIds m_channelFaces, m_thumbFaces;
    bool m_bChannelPending = false, m_bThumbPending = false;
    int m_nLastThumbId = -1;
    WheelAccumulator m_wheel;
    CWndTimers *m_pTimers = nullptr;
};
