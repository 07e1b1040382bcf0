#pragma once
// The grid window: a table of cells whose leading rows and columns are fixed headers, with a
// focus cell and a selection (the model it derives from), painted by itself, scrolled by pixel
// offsets, and driven by the mouse and the keyboard.
//
// It reports to its parent (the owner) through the parent's message table:
//   - WM_NOTIFY, sent: wParam the grid's control id, lParam a GRID_CELL_NOTIFY* valid for the
//     call. Codes NM_DBLCLK, LVN_ITEMCHANGING, LVN_ITEMCHANGED, LVN_DELETEITEM,
//     LVN_BEGINLABELEDIT, LVN_ENDLABELEDIT. An owner that answers LVN_DELETEITEM with a non-zero
//     result refuses the deletion: the cell gets its text back.
//   - WM_COMMAND, posted after every left-button release over a cell: the control id in the low
//     word, the grid's handle number in lParam.
//   - WM_COMMAND 713, 714 or 715, posted when the context menu's command is chosen.
//
// Attach it with Create (a new child at a rectangle) or DDX_GridCtrl (in place of a dialog's
// placeholder control, taking the grid's font as the system does when subclassing).

#include "controls/SliderTrack.h"
#include "grid/GridGeometry.h"

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QPointer>

#include <string>

class CTitleTip;
class QDrag;
class QMenu;
class QMimeData;
class QPainter;
class QPrinter;

// What a print run knows: its pages, the page being printed and the rectangle to draw in.
struct CPrintInfo {
    int minPage = 1;
    int maxPage = 0xFFFF;
    int curPage = 1;
    QRect drawRect;
};

// Scroll bars and scroll codes, with their Windows values.
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_LEFT = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_RIGHT = 7;

// Window style bit of Create: a one-pixel border.
inline constexpr unsigned WS_BORDER = 0x00800000;
// The virtual key of a left button, as first character of an edit opened by the mouse.
inline constexpr unsigned VK_LBUTTON = 0x01;
// The auto-scroll timer's id.
inline constexpr int GRID_AUTOSCROLL_TIMER = 513;

class CGridCtrl : public QAbstractScrollArea, public CGridModel {
    Q_OBJECT
public:
    explicit CGridCtrl(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0, QWidget *parent = nullptr);
    ~CGridCtrl() override;

    // ---- attachment ----
    bool Create(const QRect &rect, QWidget *parent, int id, unsigned style = WS_BORDER);
    // Takes the place, id and parent of `control`, which is removed.
    bool SubclassWindow(QWidget *control);
    bool IsAttached() const { return m_bAttached; }

    // ---- font (WM_SETFONT / WM_GETFONT) ----
    void SetFont(const QFont &font, bool redraw = true);
    const QFont &GetFont() const { return m_font; }

    // ---- drawing ----
    virtual void DrawGrid(QPainter &p, const CRect &clip);
    void FillBackground(QPainter &p, const CRect &clip);
    virtual bool DrawFixedCell(QPainter &p, int row, int col, CRect rect, bool eraseBk = false);
    virtual bool DrawCell(QPainter &p, int row, int col, CRect rect, bool eraseBk = false);
    bool RedrawCell(int row, int col) override;
    bool RedrawCell(CGridCellPos p) { return RedrawCell(p.row, p.col); }
    bool RedrawRow(int row);
    bool RedrawColumn(int col);
    bool InvalidateCell(CGridCellPos cell) override;
    bool InvalidateRange(const CGridCellRange &range);
    void InvalidateAll() override;
    void LayoutChanged() override;
    void AllowDrawing(bool allow, bool resetScrollBars = true);

    // ---- geometry ----
    GridView View() const;
    CGridCellPos GetTopLeftScrollCell() const;
    CGridCellRange GetVisibleCellRange(CRect *rect = nullptr) const;
    CGridCellRange GetWhollyVisibleCellRange() const;
    CGridCellPos CellFromPoint(CPoint pt, bool allowFixed = true) const;
    bool GetCellOrigin(int row, int col, CPoint *origin) const;
    bool GetCellOrigin(CGridCellPos p, CPoint *origin) const { return GetCellOrigin(p.row, p.col, origin); }
    bool GetCellRect(int row, int col, CRect *rect) const;
    bool GetCellRect(CGridCellPos p, CRect *rect) const { return GetCellRect(p.row, p.col, rect); }
    bool GetCellTextRect(int row, int col, CRect *rect) const;
    bool GetRangeRect(const CGridCellRange &range, CRect *rect) const;
    bool IsCellVisible(int row, int col) const;
    bool IsCellVisible(CGridCellPos p) const { return IsCellVisible(p.row, p.col); }

    // ---- scrolling ----
    void UpdateScrollBars();
    int GetScrollPosition(int bar, bool track = false) const;
    void SetScrollPosition(int bar, int pos, bool redraw = true);
    int GetScrollMax(int bar) const { return bar == SB_VERT ? m_nVScrollMax : m_nHScrollMax; }
    void EnsureVisible(int row, int col);
    void EnsureVisible(CGridCellPos p) { EnsureVisible(p.row, p.col); }
    // WM_HSCROLL / WM_VSCROLL.
    void OnHScroll(int code);
    void OnVScroll(int code);

    // ---- sizes ----
    virtual CSize GetCellExtent(int row, int col) const;
    CSize MeasureText(const QString &text, bool heading = false) const override;
    bool AutoSizeColumn(int col);
    bool AutoSizeRow(int row);
    void AutoSizeColumns();
    void AutoSizeRows();
    void AutoSize();
    void StretchColumns();
    void StretchRows();
    void StretchToFit();

    // ---- system settings ----
    int ReadWheelScrollLines() const;
    int GetWheelScrollLines() const { return m_nWheelLines; }
    void RefreshSystemSettings();
    GridSystemColours ReadSystemColours() const;

    // ---- interaction ----
    virtual void OnHeaderRowClick(CGridCellPos cell);
    virtual void OnHeaderColumnClick(CGridCellPos cell);
    bool IsOverRowDivider(CPoint pt) const;
    bool IsOverColumnDivider(CPoint pt) const;
    virtual void BeginCellEdit(int row, int col, unsigned ch);
    virtual void EndCellEdit(int row, int col, const QString &text);
    // The in-place editor over a cell: a CInPlaceEdit (grid/InPlaceEdit.h), child of the viewport.
    virtual QWidget *CreateInPlaceEditControl(const CRect &rect, unsigned style, int id, int row, int col,
                                              const QString &text, unsigned ch);
    // An editor's end-of-edit notification (WM_NOTIFY LVN_ENDLABELEDIT from IDC_GRID_INPLACE).
    LRESULT OnEndEditNotify(const GRID_NOTIFY &nm);
    // WM_KEYDOWN and WM_CHAR with Windows key codes (what the Qt key events are turned into).
    void OnKeyDown(int vk, bool ctrl, bool shift);
    void OnChar(unsigned ch, bool ctrl);

    // ---- clipboard and drag and drop (GridClipboard.cpp) ----
    // The selection as plain text data, or none when nothing is selected; the caller owns it.
    virtual QMimeData *CopySelectionToData();
    // Pastes the data's text from `start` on; false without text or when `start` is not editable.
    virtual bool PasteData(CGridCellPos start, const QMimeData *data);
    virtual void OnEditCut();
    virtual void OnEditCopy();
    virtual void OnEditPaste();
    virtual void OnEditSelectAll();
    // The edit commands by id (ID_EDIT_COPY, ...): whether one is enabled now, and running it.
    bool IsEditCommandEnabled(int id) const;
    bool OnEditCommand(int id);

    // The grid as drop target: the action it would take (Qt::IgnoreAction for none), and the drop.
    Qt::DropAction OnDragEnter(const QMimeData *data, Qt::KeyboardModifiers keys, CPoint pt);
    Qt::DropAction OnDragOver(const QMimeData *data, Qt::KeyboardModifiers keys, CPoint pt);
    void OnDragLeave();
    bool OnDrop(const QMimeData *data, Qt::DropAction action, CPoint pt);
    CGridCellPos GetLastDragOverCell() const { return m_lastDragOverCell; }
    // The grid as drag source: drags the selection's text; a move empties the selected cells.
    void BeginDragSource();
    // A picture of the focus cell for a drag, its bottom-right corner as hot spot; null without one.
    virtual QPixmap CreateDragImage(QPoint *hotSpot);

    // ---- printing (GridPrint.cpp) ----
    // Asks for a printer and prints the whole grid on it.
    void Print();
    // Prints the whole grid on `printer` (a PDF file works as well); false when the printer could
    // not be started or a page failed, which aborts the document.
    bool PrintTo(QPrinter &printer);
    virtual void OnBeginPrinting(QPainter &p, CPrintInfo &info);
    virtual void OnPrint(QPainter &p, CPrintInfo &info);
    virtual void OnEndPrinting(QPainter &p, CPrintInfo &info);
    virtual void PrintHeadingRows(QPainter &p, CPrintInfo &info);
    virtual void PrintPageHeader(QPainter &p, CPrintInfo &info);
    virtual void PrintPageFooter(QPainter &p, CPrintInfo &info);
    static QString PrintPageNumberText(int page, int pages);
    bool IsPrinting() const { return m_bPrinting; }

    // ---- the comma-separated text file (GridFile.cpp) ----
    // Writes every row's texts; a failure is reported to the user and leaves an old file as it was.
    bool SaveToFile(const std::string &path);
    // Rebuilds the grid from a file read whole; a file that cannot be read is reported to the user
    // and leaves the grid as it was.
    bool LoadFromFile(const std::string &path);

    // ---- title tip ----
    // The hidden tip window made with the grid's window while title tips are on; null otherwise.
    CTitleTip *TitleTip() const { return m_pTitleTip; }
    void EnableTitleTips(bool enable = true) { m_bTitleTips = enable; }
    bool GetTitleTips() const { return m_bTitleTips; }

    LRESULT NotifyOwner(int row, int col, int code) override;
    QMenu *ContextMenu() const { return m_pMenu; }
    int GetCtrlIdOfGrid() const;

protected:
    // Shows the context menu at a screen point; the chosen command, 0 for none.
    virtual int TrackContextMenu(const QPoint &globalPos);
    // Runs a drag of this grid's data to its end; the action the drop took.
    virtual Qt::DropAction ExecDrag(QDrag *drag);

    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dragLeaveEvent(QDragLeaveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void timerEvent(QTimerEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void BuildContextMenu();
    void OnLButtonDown(unsigned flags, CPoint pt);
    void OnLButtonUp(CPoint pt);
    void OnLButtonDblClk(CPoint pt);
    void OnRButtonDown(unsigned flags, CPoint pt, const QPoint &globalPos);
    void OnAutoScroll();
    void TakeFocusForScroll();
    void SetMouseCursor();
    void OnScroll(int bar, int code);
    void OnBarAction(int bar, int action);
    void DrawCellText(QPainter &p, const CRect &rect, const CGridCellData &cell) const;
    QColor SysColour(int role) const;

    QFont m_font;
    bool m_bAttached = false;
    int m_nVScrollMax = 0, m_nHScrollMax = 0;
    int m_nWheelLines = 3;
    WheelAccumulator m_wheel;
    QMenu *m_pMenu = nullptr;
    CPoint m_ptLeftDown, m_ptLastMouse;
    int m_nAutoScrollTimer = 0;  // Qt's timer id, 0 when not running
    unsigned m_nAutoScrollInterval = 25;
    int m_nResizeCaptureRange = 3;
    bool m_bCaptured = false;
    bool m_bScrolling = false;  // our own scroll step moves the bars: no whole repaint
    bool m_bDestroying = false;
    CGridCellPos m_lastDragOverCell;
    void CreateTitleTip();
    CTitleTip *m_pTitleTip = nullptr;  // a child window of the viewport
    // Printing.
    bool m_bPrinting = false;
    QFont m_printerFont;
    QSize m_charSize;
    int m_nPageHeight = 0;
    QSize m_logicalPageSize, m_paperSize;
    void MarkDropTarget(CGridCellPos cell, bool mark);
};

// Attaches `grid` in place of the dialog's control with the id, once; later calls do nothing.
// Throws std::logic_error when the dialog has no such control.
void DDX_GridCtrl(QWidget *dialog, int id, CGridCtrl &grid);

// The grid with list columns: a column may carry a list of the only texts its cells accept.
class CComboGridCtrl : public CGridCtrl {
    Q_OBJECT
public:
    explicit CComboGridCtrl(QWidget *parent = nullptr);
    ~CComboGridCtrl() override;

    bool SetColumnList(int col, const QStringList &list);
    int FindColumnList(int col) const;
    bool SetItemFromList(int row, int col, int index);
    void SetListStyle(int style) { m_nListStyle = style; }
    int GetListStyle() const { return m_nListStyle; }
    const QStringList *ColumnList(int col) const;

    // A text outside a list column's list is refused (FALSE) and the cell keeps its text; fixed
    // rows take any text.
    bool SetItemText(int row, int col, const QString &text) override;
    bool SetItem(const GRID_ITEM *item) override;
    // A list column's cells edit in a CInPlaceList of the column's texts (in the list style).
    QWidget *CreateInPlaceEditControl(const CRect &rect, unsigned style, int id, int row, int col, const QString &text,
                                      unsigned ch) override;

private:
    struct ListEntry {
        int col;
        QStringList texts;
    };
    bool InList(int row, int col, const QString &text) const;
    std::vector<ListEntry> m_lists;
    int m_nListStyle = 2;  // a drop-down combo
};
