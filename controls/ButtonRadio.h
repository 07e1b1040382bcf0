#pragma once
// A system radio button whose text is painted in a chosen colour over the page's skin. A colour
// that would not read on the console's dark pages (the default black) gets a light plate behind
// the button, so the text keeps a contrast of at least 4.5:1.

#include "platform/WinCompat.h"

#include <QRadioButton>

class CButtonRadio : public QRadioButton {
    Q_OBJECT
public:
    explicit CButtonRadio(QWidget *parent = nullptr, int ctrlId = 0);
    CButtonRadio(const QString &text, QWidget *parent, int ctrlId);

    void SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_clrText; }
    // Whether the button draws its light plate (the text would not read on the console).
    bool HasPlate() const;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    COLORREF m_clrText = 0;
};
