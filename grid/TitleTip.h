#pragma once
// The grid's title tip: a small borderless tool window laid over a cell whose text does not fit,
// showing the whole text. It gets out of the way as soon as the pointer leaves the cell or a key
// or button is pressed; a press on the tip itself reaches the window underneath at that place.
// Nothing is ever given the focus or activated by it.

#include <QEvent>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

class CTitleTip : public QWidget {
    Q_OBJECT
public:
    CTitleTip();
    ~CTitleTip() override;

    // Makes the tip a hidden tool window over `parent`, whose client coordinates Show takes.
    bool Create(QWidget *parent);
    QWidget *Owner() const { return m_parent; }

    // Shows `text` over `titleRect`, `xOffset` pixels in from its left, unless the text fits in the
    // rectangle, the tip shows already or no window of the program has the focus. The tip hides
    // when the pointer leaves `hoverRect` (the title rectangle when none). `font` defaults to the
    // parent's.
    void Show(const QRect &titleRect, const QString &text, int xOffset = 0, const QRect *hoverRect = nullptr,
              const QFont *font = nullptr);
    void Hide();
    QString Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // The window under a screen point, the tip's parent where the point is on the tip.
    QWidget *TargetAt(const QPoint &globalPos) const;
    void PassOn(QEvent::Type type, const QPoint &globalPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                Qt::KeyboardModifiers mods);

    QPointer<QWidget> m_parent;
    QRect m_hoverRect;  // in the parent's coordinates
    QString m_text;
    QFont m_font;
    bool m_bFiltering = false;
};
