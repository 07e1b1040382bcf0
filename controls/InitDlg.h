#pragma once
// The warning shown before the device's factory settings are restored: a red heading, one line of
// explanation, OK and a cancel button, in the UI language. DoModal gives IDOK only for OK.

#include <QDialog>

class QLabel;
class QPushButton;

class CInitDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 881;
    static constexpr int IDC_TEXT = 2836;
    static constexpr int IDC_HEADING = 2837;

    explicit CInitDlg(QWidget *parent = nullptr);
    int DoModal();
    void InitDialog();

    QLabel *Heading() const { return m_lblHeading; }
    QLabel *Text() const { return m_lblText; }
    QPushButton *OkButton() const { return m_btnOk; }
    QPushButton *CancelButton() const { return m_btnCancel; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void applyTexts();

    QLabel *m_lblText;
    QLabel *m_lblHeading;
    QPushButton *m_btnCancel;
    QPushButton *m_btnOk;
    int m_nResult;
    bool m_bInitialised = false;
};
