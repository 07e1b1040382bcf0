#pragma once
// The common ground of the program's static labels: a window text, the static-control style bits
// of its template, a control id, and with SS_NOTIFY a click reported to the parent as WM_COMMAND
// (STN_CLICKED). The label classes paint it in their own way.

#include "platform/WinCompat.h"

#include <QString>
#include <QWidget>

inline constexpr unsigned SS_LEFT = 0x0;
inline constexpr unsigned SS_CENTER = 0x1;
inline constexpr unsigned SS_RIGHT = 0x2;
inline constexpr unsigned SS_NOPREFIX = 0x80;
inline constexpr unsigned SS_NOTIFY = 0x100;
inline constexpr unsigned SS_CENTERIMAGE = 0x200;
inline constexpr unsigned SS_ENDELLIPSIS = 0x4000;
inline constexpr unsigned SS_PATHELLIPSIS = 0x8000;

// DrawText flags of a static style (the transparent label and the web link paint with them).
unsigned DrawTextFlagsFromStaticStyle(unsigned style);
// Draws text in a rectangle as DrawText would with those flags.
class QPainter;
void DrawTextWithFlags(QPainter &p, const QRect &r, const QString &text, unsigned flags);

class CStaticText : public QWidget {
    Q_OBJECT
public:
    explicit CStaticText(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = SS_LEFT);

    QString GetWindowText() const { return m_text; }
    virtual void SetWindowText(const QString &text);
    unsigned Style() const { return m_style; }
    void ModifyStyle(unsigned remove, unsigned add) { m_style = (m_style & ~remove) | add; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    // The reflected click notification; the default reports WM_COMMAND to the parent.
    virtual void OnClicked();

    QString m_text;
    unsigned m_style;
};
