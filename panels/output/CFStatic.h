#pragma once
// The response graph: the frequency response of one equaliser of the parameter tree on a
// logarithmic axis from 20 Hz to 20 kHz and a linear one from +12 to -12 dB, with the summed curve
// of the shown record, the curves of overlaid outputs in grey, a numbered marker for every band
// and crossover, and the selected element's area, bandwidth handles and value label. The mouse
// edits the shown equaliser: hovering a marker selects its element, dragging moves a band in
// frequency and gain, a bandwidth handle widens or narrows a peaking band, and a crossover marker
// moves that crossover. The owner hears of every change on timer 3 (WM_CURVE_BAND_CHANGED, at most
// every 200 ms) and of the loss of the keyboard focus (WM_CURVE_KILLFOCUS).
//
// Set-up by the owner: SetOwner, SetData (root, 4 for the output page, 3 for the input page), a
// show operation, SetMode. Redraw(item) selects the item at once and asks for a paint of the plot;
// the paint only draws. The layout follows every resize of the window.
//
// Hover and drag state live in a CGraphTracker; the pure geometry in model/GraphGeometry.h and
// model/GraphLayout.h. UI thread only.

#include "model/DataDefine.h"
#include "model/GraphLayout.h"
#include "model/GraphTracker.h"
#include "platform/WinCompat.h"

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class CKTV_Data;
class CKTV_OutData;
class CInputRecord;
class CFilter;
class CKTVEQ;
class CWndTimers;
struct CurvePointF;

// Posted to the owner. wParam: the element index (bands 0..30, 31 high-pass, 32 low-pass);
// lParam: the notify code (0x300 + output, the music input alone, 0x100 + microphone, 0 effect).
inline constexpr unsigned WM_CURVE_BAND_CHANGED = WM_USER + 100;
// Posted to the owner when the graph loses the keyboard focus; both parameters 0.
inline constexpr unsigned WM_CURVE_KILLFOCUS = WM_USER + 101;

class CCFStatic : public QWidget {
    Q_OBJECT
public:
    static constexpr int kNotifyTimer = 3;
    static constexpr int kNotifyTimerMs = 200;
    // Display modes.
    static constexpr int kModeEmpty = 0;
    static constexpr int kModeEffect = 1;
    static constexpr int kModeMic = 2;
    static constexpr int kModeMusic = 3;
    static constexpr int kModeOutput = 4;
    // SetData types that pass the plot rectangle on.
    static constexpr int kDataMusic = 3;
    static constexpr int kDataOutput = 4;
    // The pointer reaches only this many bands of a music input.
    static constexpr int kMusicScanBands = 15;

    explicit CCFStatic(QWidget *parent = nullptr);
    ~CCFStatic() override;

    // ---- binding ----
    void SetOwner(QObject *owner) { m_pOwner = owner; }
    QObject *GetOwner() const { return m_pOwner; }
    void SetData(CKTV_Data *root, int type);
    void CalcLayout();
    void ShowEffect();
    void ShowMicInput(int i);
    void ShowMusicInput(int i);
    void ShowOutput(int i);
    void SetMode(int mode);
    int GetMode() const { return m_nMode; }
    int GetKind() const { return m_nKind; }
    int GetNotifyCode() const { return m_nNotifyCode; }
    int GetShownOutput() const { return m_nShownOutput; }

    // ---- drawing ----
    // item >= 0 makes that element the active one (and the reported item) now; -1 keeps the
    // selection. Then the plot is drawn again.
    void Redraw(int item);
    virtual void EnableGraph(int enable);
    // No active element; enables or disables the graph and draws it whole.
    void ResetSelection(int enable);
    // No active element (the page's "clear the graph's selection"); draws the plot again.
    void ClearActiveItem();

    // ---- state the owner reads ----
    CFilter *GetActiveItem() const { return m_tracker.Active(); }
    int GetItemIndex() const { return m_tracker.ItemIndex(); }
    int GetHover() const { return m_tracker.Hovering() ? 1 : 0; }
    int GetChanged() const { return m_tracker.Changed() ? 1 : 0; }
    int GetDragResult() const { return m_tracker.DragResult(); }
    // Set by every left-button release; the owner clears it once it has moved the focus.
    int GetReleased() const { return m_tracker.Released() ? 1 : 0; }
    void SetReleased(int released) { m_tracker.SetReleased(released != 0); }
    const CGraphTracker &Tracker() const { return m_tracker; }
    const graph::GraphLayout &Layout() const { return m_layout; }
    CRect GetPlotRect() const { return m_layout.plot; }

    // Moves the pointer off the graph when it lies over it (after a key step of the owner); where
    // the windowing system refuses to move the pointer, the graph forgets its hover instead.
    // Returns true when the pointer was moved.
    bool MovePointerOutside();

    // Timer 3 stops (nothing calls it in this program).
    void KillGraphTimer();
    // 1 when outputs are linked and another output shares the shown output's non-zero group.
    int IsOutputLinked() const;

    // The cursor shown for the tracker's state.
    static QCursor CursorFor(CGraphTracker::Cursor c);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void OnTimer(int id);
    void Bind(CKTVEQ *set, int scanLimit);
    void UpdateCursorShape();
    void InvalidatePlot();
    // The shown record's equaliser and curve for the display mode.
    CKTVEQ *ShownEq() const;
    const CurvePointF *ShownCurve() const;
    void UpdateShownCurve();
    // What the plot shows, kept from the last drawing so that the next one covers only what
    // differs from it.
    struct SceneState {
        bool valid = false;
        int mode = -1;
        int active = -1;
        int selected = -1;
        int shown = -1;
        int overlayMask = 0;
        bool enabled = true;
        bool chinese = false;
        QRect plot;
        std::array<float, kFreqPoints> curve{};
        std::array<std::array<float, kFreqPoints>, 8> overlay{};
        std::vector<CRect> markers;
        std::vector<CPoint> polygon;
        QRect fill;
        CRect handles[2];
        QString label;
        QRect labelPlate;
    };
    void CaptureScene(SceneState &now);
    // Where the plot must be drawn again for the scene `now` to show; `now` keeps the painted
    // values of curve points that moved too little to be seen.
    QRegion SceneChanges(SceneState &now) const;
    CFilter *SelectedItem() const;
    int SelectedIndex() const;
    QRect LabelPlate(const QString &text, const CRect &box) const;
    // The plate of the selected element's label where it covers no other marker.
    QRect SelectedLabelPlate(const QString &text, const CFilter &selected) const;
    void DrawFrame(QPainter &p);
    void DrawPlot(QPainter &p, const QRect &plot, const QRegion &dirty);
    void DrawCurves(QPainter &p, const QRect &bounds);
    void DrawMarkers(QPainter &p, const QRegion &dirty);
    void DrawSelection(QPainter &p);

    QPointer<QObject> m_pOwner;
    CKTV_Data *m_pRoot = nullptr;
    CKTV_OutData *m_pOut = nullptr;
    CInputRecord *m_pInput = nullptr;  // the shown effect, microphone or music input
    int m_nDataType = 0;
    int m_nMode = kModeEmpty;
    int m_nKind = 0;
    int m_nNotifyCode = 0;
    int m_nShownOutput = 0;
    int m_nRequested = -1;
    bool m_bLayoutDone = false;

    graph::GraphLayout m_layout;
    CGraphTracker m_tracker;
    CWndTimers *m_pTimers = nullptr;

    // The plot is drawn into its own buffer, only where something changed since the last paint.
    // The first paint draws straight into the window and leaves the buffer to the next one.
    QImage m_plot;
    bool m_bEverPainted = false;
    bool m_bPlotDirty = true;
    SceneState m_painted;
    QRegion m_lastDrawn;  // the part of the plot the last paint drew (for tests and benchmarks)

public:
    // The part of the plot that the last paint drew again.
    QRegion LastDrawnRegion() const { return m_lastDrawn; }
};
