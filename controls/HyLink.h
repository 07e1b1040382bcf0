#pragma once
// The version dialog's web link: a label that takes its hover colour under the mouse, shows the
// hand cursor and opens its own text in the browser when clicked. Only http and https addresses
// are opened; any other text is refused.

#include "controls/StaticText.h"

#include <QUrl>

#include <functional>

class CHyLink : public CStaticText {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    explicit CHyLink(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = SS_NOTIFY);

    bool IsHover() const { return m_bHover; }
    COLORREF PaintColor() const { return m_bHover ? m_clrHover : m_clrNormal; }
    // The address the text stands for, or an invalid URL when it is not an http(s) address.
    static QUrl LinkUrl(const QString &text);
    // Replaces the browser call (tests); null restores it.
    static void SetUrlOpener(UrlOpener opener);

protected:
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void OnClicked() override;

private:
    void setHover(bool on);

    bool m_bHover = false;
    COLORREF m_clrNormal = 0x000000;
    COLORREF m_clrHover = 0x0000FF;
    COLORREF m_clrBack = 0xE5E5E5;
};
