#pragma once
// The topmost popup of a drop-down that hosts its list. It closes when the user clicks elsewhere
// or picks an item; a pick is sent to the owner as WM_COMBOXBTN_SELECT (index, 0), and a close
// without a pick gives the list back the selection the owner shows.

#include <QFont>
#include <QPointer>
#include <QWidget>

class CDropListBox;

class CDropWnd : public QWidget {
    Q_OBJECT
public:
    explicit CDropWnd(QWidget *owner);
    ~CDropWnd() override;

    // Creates the popup and its list for `owner`; false when it cannot.
    static CDropWnd *Create(QWidget *owner);

    CDropListBox *List() const { return m_pList; }
    bool IsShown() const { return m_bShown; }
    // Places the list at `dropRect` (global coordinates) with a one-pixel frame around it and shows it.
    void ShowAt(const QRect &dropRect);
    void Hide();
    // The drop-down button follows the mouse: its list closes as soon as the mouse is outside
    // both the list and the button.
    void SetCloseWhenMouseLeaves(bool on);
    // For a popup made after its owner was disabled: takes the disabled state a popup made earlier
    // would have taken from the owner, so that enabling the owner enables it again.
    void FollowDisabledOwner();

signals:
    // The popup was hidden, by a pick or otherwise.
    void closed();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    void OnPicked(int index);

    QPointer<QWidget> m_pOwner;
    CDropListBox *m_pList = nullptr;
    bool m_bShown = false;
    bool m_bPicked = false;
    bool m_bCloseOnLeave = false;
};

// What a drop-down button keeps for its popup until the popup is made at its first use: whether
// the button asked for a list, the font the list takes (the first one it is given) and whether the
// button's enabled state changed since. A popup made late under a disabled button then starts as
// one made early would: disabled, and enabled again with the button.
struct CLateDropWnd {
    bool wanted = false;
    bool enabledChanged = false;
    QFont listFont;

    // The button asks for a list.
    void Want(const QFont &font)
    {
        if (!wanted) {
            wanted = true;
            listFont = font;
        }
    }
    // From the button's changeEvent; `made` says whether its popup exists.
    void NoteChange(const QEvent *e, bool made);
    // The popup for `owner`, its list in the kept font; null when no list was asked for.
    CDropWnd *Make(QWidget *owner) const;
};
