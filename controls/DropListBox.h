#pragma once
// The list of a drop-down's popup: owner-drawn on a dark background, the item under the mouse
// becomes the selection, and separator items head groups. One record per item gives its colours.

#include "platform/WinCompat.h"

#include <QFont>
#include <QListWidget>

#include <vector>

struct DropListItem {
    bool separator = false;
    COLORREF textColour = RGB(255, 255, 255);
    COLORREF highlightColour = RGB(255, 255, 255);
};

class CDropListBox : public QListWidget {
    Q_OBJECT
public:
    static constexpr COLORREF kBackColour = RGB(27, 34, 50);
    static constexpr COLORREF kSelectionColour = RGB(13, 133, 138);
    static constexpr int kListId = 1825;

    explicit CDropListBox(QWidget *parent = nullptr);
    ~CDropListBox() override;

    int AddItem(const QString &text);
    int InsertItem(int index, const QString &text);
    int AddGroupItem(const QString &text, int group, COLORREF textColour, COLORREF highlightColour);
    int DeleteItem(int index);
    void ResetContent();
    // Only the first call takes effect. The rows take the font's line height (ascent and
    // descent), so that nothing below the baseline, an underscore, is cut off.
    void SetListFont(const QFont &font);
    void SetSavedSel(int index) { m_nSavedSel = index; }
    int GetSavedSel() const { return m_nSavedSel; }
    void SetBackColor(COLORREF c);
    void SetSelectionColor(COLORREF c);

    int GetCount() const { return count(); }
    int GetCurSel() const { return currentRow(); }
    void SetCurSel(int index);
    int GetItemHeight() const { return m_nItemHeight; }
    // The row height SetListFont gives a list for `font`, measured without making one.
    static int ItemHeightFor(const QFont &font);
    // Height of a drop-down showing `count` rows of `itemHeight`, but no more than maxHeight
    // (maxHeight too for an empty list).
    static int DropHeightFor(int count, int itemHeight, int maxHeight)
    {
        const int rows = count * itemHeight;
        return count > 0 && rows < maxHeight ? rows : maxHeight;
    }
    int DropHeight(int maxHeight) const { return DropHeightFor(GetCount(), GetItemHeight(), maxHeight); }
    QString GetText(int index) const;
    const DropListItem *Record(int index) const;
    int GroupCount() const { return m_nGroups; }
    COLORREF BackColour() const { return m_clrBack; }
    COLORREF SelectionColour() const { return m_clrSelection; }
    const QFont &BoldFont() const { return m_fontBold; }
    bool HasFont() const { return m_bHasFont; }

signals:
    // The user picked an item (click or Enter); the popup decides what follows.
    void picked(int index);

protected:
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    // The colours reach the style sheet when the list is shown: a style sheet costs a list about
    // half a millisecond, and most lists of a page are never opened.
    void ApplyColours();
    void ApplyColoursNow();

    int m_nGroups = 0;
    int m_nSavedSel = 0;
    std::vector<DropListItem> m_records;
    QFont m_font;
    QFont m_fontBold;
    bool m_bHasFont = false;
    bool m_bColoursPending = false;
    int m_nItemHeight = 16;
    COLORREF m_clrBack = kBackColour;
    COLORREF m_clrSelection = kSelectionColour;
};
