#pragma once
// A label that paints only its text, in its own colour and the dialog's font, over whatever the
// dialog painted below it (a skinned background). A colour that would not read on the console's
// dark dialogs (the default black, the update dialog's red tip) gets a plate it reads on.

#include "controls/StaticText.h"

class CTransparentStatic : public CStaticText {
    Q_OBJECT
public:
    explicit CTransparentStatic(QWidget *parent = nullptr, int ctrlId = 0, unsigned style = SS_LEFT);

    void SetTextColor(COLORREF colour);
    COLORREF TextColor() const { return m_clrText; }
    // Does nothing when the text is the one shown; otherwise sets it and repaints the background.
    virtual void SetText(const QString &text);
    void SetWindowText(const QString &text) override;
    int TextChanges() const { return m_nTextChanges; }
    bool HasPlate() const;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    COLORREF m_clrText = 0;
    QString m_strLast;
    int m_nTextChanges = 0;
};
