#pragma once
// The bare frame that carries one view inside the main window: no caption, border or menu. It
// fills the main window's visible area and keeps its view at the top left; it deletes the view
// with itself.

#include <QWidget>

class CChildFrame : public QWidget {
    Q_OBJECT
public:
    // The main view's skin size.
    static constexpr int kViewWidth = 1200, kViewHeight = 695;

    explicit CChildFrame(QWidget *parent = nullptr);

    // Takes the view (re-parents it) and puts it at the top left at the skin's size.
    void SetView(QWidget *view);
    QWidget *View() const { return m_view; }

private:
    QWidget *m_view = nullptr;
};
