#pragma once
// The group frame of the dynamics and firmware update dialogs: an etched (or flat, or double)
// frame in two colours with a bold Arial title in a gap of its top line, left, right or centred.

#include "controls/BitButton.h"  // BS_ styles
#include "platform/WinCompat.h"

#include <QFont>
#include <QWidget>

#include <optional>

class CSxLogFont;

// Extended window styles the frame's rectangle and title follow.
inline constexpr unsigned WS_EX_DLGMODALFRAME = 0x1;
inline constexpr unsigned WS_EX_CLIENTEDGE = 0x200;
inline constexpr unsigned WS_EX_STATICEDGE = 0x20000;

class CGroupBoxEx : public QWidget {
    Q_OBJECT
public:
    enum BoxStyle { Etched = 11, Double = 12, Flat = 0x8000 };

    explicit CGroupBoxEx(QWidget *parent = nullptr, int ctrlId = 0, const QString &title = QString(),
                         unsigned style = BS_GROUPBOX, unsigned exStyle = 0);
    ~CGroupBoxEx() override;

    // Takes title, alignment, frame rectangle and box style from the window.
    void PreSubclassWindow();
    void SetText(const QString &title, bool redraw = true);
    void SetLineColors(COLORREF c1, COLORREF c2, bool redraw = true);
    void GetLineColors(COLORREF &c1, COLORREF &c2) const;
    void SetTextColor(COLORREF colour, bool redraw = true);
    void SetTitleFont(const CSxLogFont *font);
    void SetAlignment(int alignment);
    void SetTitleOffsets(int x, int y);
    void SetBoxStyle(int style);
    void Reinitialise();

    QString Title() const { return m_strTitle; }
    int Alignment() const { return m_nAlign; }
    int BoxStyleValue() const { return m_nBoxStyle; }
    bool TitleHidden() const { return m_bHideTitle; }
    const QFont &TitleFont() const { return m_fontTitle; }
    QRect BoxRect() const;
    // The title gap [x0, x1] on the top line for the current title font.
    std::pair<int, int> TitleGap() const;
    int TopLineY() const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    COLORREF shadowColour() const;
    COLORREF highlightColour() const;

    unsigned m_nStyle;
    unsigned m_nExStyle;
    COLORREF m_clrLine1, m_clrLine2;
    COLORREF m_clrDisabled1, m_clrDisabled2;
    bool m_bHideTitle = false;
    int m_nLineWidth = 1;
    COLORREF m_clrText = 0;
    QFont m_fontTitle;
    QString m_strTitle;
    int m_nAlign = 0x100;
    int m_nOffsetX = 8, m_nOffsetY = 0;
    int m_nBoxStyle = Etched;
    COLORREF m_clrFill = 0xEFC6A7;
    bool m_bFill = false;
};
