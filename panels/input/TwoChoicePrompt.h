#pragma once
// A prompt with two radio choices, OK and Cancel, laid out in dialog units of Arial 9 pt in the
// console's look: the link prompts are two of them. DoModal returns IDOK or IDCANCEL and, after
// IDOK, m_nChoice holds the checked choice (0 the first, 1 the second).

#include "platform/WinCompat.h"
#include "platform/qt/Fonts.h"

#include <QDialog>
#include <QRect>

class CButtonRadio;
class QPushButton;

class CTwoChoicePrompt : public QDialog {
public:
    // Where the parts sit, in dialog units.
    struct Layout {
        int idd;
        QSize size;
        int idFirst, idSecond;
        QRect first, second, ok, cancel;
    };

    int DoModal();
    // Checks the choice m_nChoice names and fills the texts.
    virtual void OnInitDialog() = 0;

    int m_nChoice = 0;

    CButtonRadio *FirstChoice() const { return m_radioFirst; }
    CButtonRadio *SecondChoice() const { return m_radioSecond; }
    QPushButton *OkButton() const { return m_btnOk; }
    QPushButton *CancelButton() const { return m_btnCancel; }

protected:
    CTwoChoicePrompt(QWidget *parent, const Layout &layout);
    // Where a part the prompt adds sits: a rectangle in dialog units of the prompt's font.
    QRect Place(const QRect &dlu) const { return DluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height(), m_units); }
    void CheckChoice();
    void accept() override;

    CButtonRadio *m_radioFirst;
    CButtonRadio *m_radioSecond;
    QPushButton *m_btnOk;
    QPushButton *m_btnCancel;

private:
    void ReadChoice();

    DialogUnits m_units;
};
