#pragma once
// The output map reset question: empty the output map or restore its default. The answer is
// m_nResult, which the caller reads after the dialog closed: 1 empty (Emptied or Enter), 2 default,
// 0 cancel (Cancel, Esc or the close box). Emptied and Default both end the dialog with IDOK.

#include "platform/WinCompat.h"

#include <QDialog>

class QLabel;
class QPushButton;

class CReSetDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 711;
    static constexpr int IDC_MESSAGE = 2769, IDC_DEFAULT = 2768;

    explicit CReSetDlg(QWidget *parent = nullptr);

    // Shows the dialog modally: IDOK or IDCANCEL.
    int DoModal();
    void InitDialog();

    int m_nResult = 1;

    QPushButton *EmptyButton() const { return m_btnEmpty; }
    QPushButton *DefaultButton() const { return m_btnDefault; }
    QPushButton *CancelButton() const { return m_btnCancel; }
    QLabel *Message() const { return m_lblMessage; }

protected:
    void OnOK();
    void OnDefault();
    void OnCancel();
    void reject() override;
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    QPushButton *m_btnEmpty;
    QPushButton *m_btnCancel;
    QPushButton *m_btnDefault;
    QLabel *m_lblMessage;
    bool m_bInitialised = false;
};
