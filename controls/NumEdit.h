#pragma once
// The numeric edit: a one-line edit that shows a page's integer by its display type and reads
// typed text back at focus loss. It paints on the page's skin (transparent) except while it is
// highlighted, reports clicks and commits to its parent as WM_COMMAND and posts the keys it sees
// as WM_NUMEDIT_KEY. The text rules live in NumEditFormat.
//
// A page shows a hundred of these and the user edits a few, so the edit paints its text itself
// and makes the line edit that edits it (Editor()) only when it first takes the focus or a key.
// The edit keeps the focus and the events: it hands keys, clicks and focus changes on to the line
// edit, as a spin box does with its own, so the page's event filters and focus checks see the
// numeric edit alone. The line edit lies under the step button and paints the edit from then on.

#include "controls/NumEditFormat.h"
#include "platform/WinCompat.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLineEdit;
class QStyleOptionFrame;
class QTextLayout;
class QValidator;

class CSpinBtn;
class CNumSpin;
class NumEditField;

class CNumEdit : public QWidget {
    Q_OBJECT
public:
    static constexpr COLORREF kFocusColour = RGB(137, 172, 209);

    explicit CNumEdit(QWidget *parent = nullptr);
    ~CNumEdit() override;

    void SetRange(int min, int max);
    void SetValue(int v);
    int GetValue();
    void SetScale(double scale) { m_dScale = scale; }
    void SetOffset(double offset) { m_dOffset = offset; }
    void SetType(int type, const QString &unit = QString());
    int GetType() const { return m_nType; }
    int IsPending() const { return m_bPending; }
    void SetPending(int on) { m_bPending = on; }
    void SetTemperature(int t);
    void AddValue(int delta);
    QString GetText() const { return QString(); }
    void RefreshOffText();
    int GetMin() const { return m_nMin; }
    int GetMax() const { return m_nMax; }
    int IsEnabledLook() const { return m_bEnabledLook; }

    virtual int UpdateText();
    virtual int ShowWindow(int cmd);
    virtual int EnableWindow(int on);
    virtual void SetReadOnly(int on);

    void SetHighlight(int on);
    int GetHighlight() const { return m_bHighlight; }
    void SetLinkedWnd(QWidget *w) { m_pLinked = w; }
    int CreateSpinButton(int id);
    void AttachSpin(int id, CNumSpin *spin);
    CSpinBtn *GetSpinButton() const { return m_bHasStepButton ? m_pStepButton : nullptr; }

    // The commit rule of the delay types now (with its re-show and notification); other types
    // return the value untouched.
    int CommitDelayValue();
    // Commits text the user typed and has not committed yet, as a focus loss does (the parent is
    // told); nothing when nothing was typed. A page calls it before it shows other values.
    void Commit();

    // The parameters the text rules read (for the spin and for tests).
    NumEditParams Params() const;

    // A click that reached the edit through its step button.
    void ClickFromStepButton();

    // The line edit's own interface, on the text the edit holds while it has no line edit.
    QString text() const;
    void setText(const QString &text);
    void clear() { setText(QString()); }
    bool isReadOnly() const { return m_bReadOnly; }
    void setReadOnly(bool on);
    int maxLength() const { return m_nMaxLength; }
    void setMaxLength(int length);
    const QValidator *validator() const;
    void setValidator(const QValidator *validator);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    // Selection and caret live in the line edit: these make it when it is not there yet.
    void selectAll();
    void deselect();
    bool hasSelectedText() const;
    QString selectedText() const;
    int cursorPosition() const;
    void setCursorPosition(int position);

    // The line edit that edits the text; null until the edit first takes the focus or a key.
    QLineEdit *Editor() const;
    // The widest text, in pixels, that shows whole: the line edit scrolls a wider one so that its
    // end stays in view (its contents less a margin each side, and a pixel for the caret).
    int TextRoom() const;

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    QStyleOptionFrame PanelOption() const;
    void ApplyLook();
    bool FocusGoesToOwnMenu(const QFocusEvent *e) const;
    void ShowText(const QString &text);
    NumEditField *EnsureEditor();
    // The text laid out as the line edit lays it out, made at the first paint after a change.
    struct ShownText;
    const ShownText &Shown();

    int m_nValue = 0;
    int m_nMin = 0;
    int m_nMax = 0;
    int m_nType = 0;
    double m_dScale = 0.0;
    double m_dOffset = 0.0;
    QString m_strUnit;
    int m_nTemperature = 75;
    int m_bPending = 0;
    int m_bHasStepButton = 0;
    CSpinBtn *m_pStepButton = nullptr;
    QPointer<QWidget> m_pLinked;
    int m_bHighlight = 0;
    int m_bEnabledLook = 1;
    int m_bShown = 1;
    bool m_bSwallowRelease = false;
    bool m_bFocusByClick = false;  // the press that focused the edit is not passed on, nor its release
    bool m_bFocusLeftWindowOrMenu = false;  // the focus went to a popup or another window

    // The text and the line edit's settings while there is no line edit; the line edit holds the
    // text once it is made.
    NumEditField *m_pEditor = nullptr;
    QString m_strText;
    bool m_bReadOnly = false;
    int m_nMaxLength = 32767;
    QPointer<const QValidator> m_pValidator;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    std::unique_ptr<ShownText> m_pShown;
};
