#pragma once
// A two-state On/OFF label: the text, text colour and background of the current state, in Arial
// of its own height and weight, centred; it shows the hand cursor.

#include "controls/StaticText.h"

class CMuteStatic : public CStaticText {
    Q_OBJECT
public:
    explicit CMuteStatic(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = SS_LEFT);

    void SetTextColors(COLORREF on, COLORREF off);
    void SetBkColors(COLORREF on, COLORREF off);
    void SetTexts(const QString &on, const QString &off);
    void SetState(int state);
    int GetState() const { return m_nState; }
    void SetTextFont(int height, int weight);
    void SetLanguage(int flag);

    QString ShownText() const { return m_nState ? m_strOn : m_strOff; }
    COLORREF ShownTextColor() const { return m_nState ? m_clrOnText : m_clrOffText; }
    COLORREF ShownBkColor() const { return m_nState ? m_clrOnBack : m_clrOffBack; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    COLORREF m_clrOnBack = 0x6D6964;
    COLORREF m_clrOffBack = 0xCDC9C8;
    COLORREF m_clrOnText = 0xFFFFFF;
    COLORREF m_clrOffText = 0x0000FF;
    QString m_strOn = QStringLiteral("On");
    QString m_strOff = QStringLiteral("OFF");
    int m_nState = 1;
    int m_nHeight = 16;
    int m_nWeight = 900;
    int m_bLanguage = 0;
};
