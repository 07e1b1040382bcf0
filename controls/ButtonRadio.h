#pragma once
// A system radio button whose text is painted in a chosen colour over the page's skin.

#include "platform/WinCompat.h"

#include <QRadioButton>

class CButtonRadio : public QRadioButton {
    Q_OBJECT
public:
    explicit CButtonRadio(QWidget *parent = nullptr, int ctrlId = 0);
    CButtonRadio(const QString &text, QWidget *parent, int ctrlId);

    void SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_clrText; }

private:
    COLORREF m_clrText = 0;
};
