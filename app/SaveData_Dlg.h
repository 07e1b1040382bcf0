#pragma once
// The exit prompt of the skin's close button: save the current preset to a file before leaving,
// leave without saving, or stay. It only records the answer in m_nResult, which the caller reads
// after the dialog closed: No ends the dialog the way Cancel does, so the modal return value alone
// cannot tell the two apart.

#include "platform/WinCompat.h"

#include <QDialog>

class QLabel;
class QPushButton;

class CSaveData_Dlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 719;
    static constexpr int IDC_NO = 2790, IDC_QUESTION = 2774;

    explicit CSaveData_Dlg(QWidget *parent = nullptr);

    // Shows the dialog modally and returns the modal result (IDOK for Yes, IDCANCEL otherwise);
    // the answer is m_nResult.
    int DoModal();
    void InitDialog();

    // IDYES (6), IDNO (7) or IDCANCEL (2, also Esc and the close box); 1 until answered.
    int m_nResult = 1;

    QPushButton *YesButton() const { return m_btnYes; }
    QPushButton *NoButton() const { return m_btnNo; }
    QPushButton *CancelButton() const { return m_btnCancel; }
    QLabel *Question() const { return m_lblQuestion; }

protected:
    void OnOK();
    void OnNo();
    void OnCancel();
    void reject() override;
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    QPushButton *m_btnYes;
    QPushButton *m_btnCancel;
    QPushButton *m_btnNo;
    QLabel *m_lblQuestion;
    bool m_bInitialised = false;
};
