#pragma once
// The preset-name dialog: the name under which the current parameters are stored as machine
// preset p. It opens with that preset's stored name (trimmed) and hands back whatever the user
// typed, blanks included; the caller checks it. The edit takes at most 13 GBK bytes, alignment
// blanks included, and no character without a GBK form.

#include <QDialog>
#include <QString>

class CChEnEdit;
class QLabel;
class QPushButton;

class CSaveDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 666;
    static constexpr int IDC_NAME = 2726;
    static constexpr int IDC_LABEL = 2725;
    static constexpr int kNameBytes = 13;

    explicit CSaveDlg(QWidget *parent = nullptr);

    // The preset the name is for (1..6); set before DoModal.
    int m_nPreset = 1;
    // The result: the edit's whole text after OK, untrimmed; unchanged after Cancel.
    QString m_strName;
    QString m_strLabel;

    // Sets the dialog up (the stored name, the texts) and runs it: IDOK or IDCANCEL.
    int DoModal();
    // The set-up DoModal runs, for tests and pictures that show the dialog without its loop.
    void InitDialog();

    CChEnEdit *NameEdit() const { return m_editName; }
    QLabel *Label() const { return m_lblPreset; }
    QPushButton *OkButton() const { return m_btnOk; }
    QPushButton *CancelButton() const { return m_btnCancel; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void LoadTexts();
    void OnOK();

    QPushButton *m_btnOk;
    QPushButton *m_btnCancel;
    CChEnEdit *m_editName;
    QLabel *m_lblPreset;
    int m_nResult = 2;
};
