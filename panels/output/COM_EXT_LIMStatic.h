#pragma once
// The limiter curve of one output: the static transfer curve of its limiter on a square of
// -30..+12 dB input (to the right) by -30..+12 dB output (upwards), a dashed unity line, and a
// yellow knee at the threshold. The knee can be dragged up or down; with controls attached the
// drag sets them and the output record's threshold (which the record passes to its link group and
// marks for sending), without controls it changes nothing.
//
// Set-up by the owner: CalcLayout, SetMode(kModeLimiter), optionally SetLinkedControls and
// SetLinkedControls2, SetChannelArray (the root record), SelectChannel (the output). After the
// owner changed the threshold itself it calls Refresh. The geometry and the knee's pointer state
// are plain code in model/LimiterCurve.h. UI thread only.

#include "model/LimiterCurve.h"
#include "platform/WinCompat.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

class CKTV_Data;
class CKTV_OutData;
class CNumEdit;
class CNumSpin;

class CCOM_EXT_LIMStatic : public QWidget {
    Q_OBJECT
public:
    static constexpr int kModeNone = 0;
    static constexpr int kModeLimiter = 3;

    explicit CCOM_EXT_LIMStatic(QWidget *parent = nullptr, int ctrlId = 0);
    ~CCOM_EXT_LIMStatic() override;

    // The plot from the window's size (done again at every resize).
    void CalcLayout();
    // Only the limiter mode draws and follows the pointer.
    void SetMode(int mode);
    int GetMode() const { return m_nMode; }
    // The controls a knee drag sets: a step control with its edit, and a second pair.
    void SetLinkedControls(CNumSpin *spin, CNumEdit *edit);
    void SetLinkedControls2(CNumSpin *spin, CNumEdit *edit);
    void SetChannelArray(CKTV_Data *root) { m_pRoot = root; }
    // Shows output i (0..7) in its curve colour with its limiter as the record holds it; an index
    // outside 0..7 or a missing root record is ignored.
    void SelectChannel(int i);
    // Reads the shown record's limiter again and redraws; nothing before an output is selected.
    void Refresh();
    // Draws the whole control again.
    void Paint() { update(); }

    // ---- state, for the owner and for tests ----
    int GetChannel() const { return m_nChannel; }
    CKTV_OutData *GetRecord() const { return m_pOut; }
    // The threshold code the curve shows.
    int GetThreshold() const { return m_nThreshold; }
    QColor GetCurveColour() const { return m_clrCurve; }
    // The knee's hit area (empty until an output is selected).
    CRect GetKneeRect() const { return m_rcKnee; }
    const limcurve::Layout &GetLayout() const { return m_layout; }
    bool IsHover() const { return m_tracker.Hover(); }
    bool IsDragging() const { return m_tracker.Dragging(); }

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void TrackKnee(CPoint p);
    void DragThreshold(int threshold);
    void UpdateKnee();
    void UpdateCursorShape();
    void DrawCurve(class QPainter &p);

    CKTV_Data *m_pRoot = nullptr;
    CKTV_OutData *m_pOut = nullptr;
    int m_nThreshold = 0;
    int m_nMode = kModeNone;
    int m_nChannel = 0;
    limcurve::Layout m_layout;
    limcurve::CKneeTracker m_tracker;
    CRect m_rcKnee;
    QFont m_font;
    QColor m_clrCurve{0, 0, 0};
    QPointer<CNumSpin> m_pSpin1, m_pSpin2;
    QPointer<CNumEdit> m_pEdit1, m_pEdit2;
};
