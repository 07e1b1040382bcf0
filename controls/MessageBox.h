#pragma once
// The program's message box: the text centred, the buttons labelled in the UI language, the title
// chosen by a numeric code, and an optional self-close after that many milliseconds. Every
// message of the model and the link reaches it through the installed message-box service.
//
// Codes: 0 the caption; 2000 / 2001 "Prompting" / "Warning" in the UI language, closing after
// 2000 / 2001 ms; -2 .. -5 the Chinese prompt word, "Prompting", the Chinese warning word and
// "Warning" whatever the language, never closing by themselves; any other positive code closes
// after that many ms with the caption as title.

#include "platform/ViewServices.h"
#include "platform/WinCompat.h"

#include <QDialog>
#include <QString>

#include <string>

class QLabel;
class QPushButton;
class CWndTimers;

constexpr int IDABORT = 3;
constexpr int IDIGNORE = 5;

class CMessageBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 115;
    static constexpr int IDC_TEXT = 1001;
    static constexpr int kCloseTimer = 300;

    explicit CMessageBox(QWidget *parent = nullptr);
    CMessageBox(const std::string &text, unsigned type, const std::string &caption, int code);

    // Stores text, type and code; the title becomes the product name.
    void SetMessage(const std::string &text, unsigned type, const std::string &caption, int code);

    // Runs the box modally and returns IDOK, IDCANCEL, IDYES or IDNO.
    int DoModal();
    // Lays the box out for its text, type, code and language (done by DoModal and by showing).
    void InitDialog();
    int Result() const { return m_nResult; }

    QPushButton *OkButton() const { return m_btnOk; }
    QPushButton *CancelButton() const { return m_btnCancel; }
    QLabel *TextLabel() const { return m_lblText; }
    bool CloseTimerActive() const;

    // The result of each way out, by button set.
    static int OkResult(unsigned type);
    static int CancelResult(unsigned type);
    // The title for a code, or an empty text when the caption stands.
    static QString TitleForCode(int code, bool chinese);

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void build();
    void applyTexts();
    void onOk();
    void onCancel();
    void onTimer();
    void finish(int result);

    QPushButton *m_btnOk = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QLabel *m_lblText = nullptr;
    CWndTimers *m_timer = nullptr;
    QString m_strText;
    QString m_strCaption;
    unsigned m_nType = MB_OK;
    int m_nCode = 0;
    int m_nResult = IDOK;
    bool m_bInitialised = false;
    bool m_bFinishing = false;
};

// The short form the link and update code use: a message box of text, type and code through the
// installed service. Owner, caption and language are not used (the box takes the product name as
// caption and the UI language).
int TimedMessageBox(QWidget *owner, const std::string &text, const std::string &caption, unsigned type,
                    int language, int code);

// The service that routes every ShowMessage() to CMessageBox. On the UI thread the box runs
// modally and its result is returned; from another thread the box is posted to the UI thread and
// the call returns at once with the result of a box left without a choice: IDOK for an OK-only
// box, IDNO for Yes/No, IDCANCEL otherwise (a worker never waits for the user).
class CMessageBoxService : public IMessageBoxService {
public:
    int ShowMessage(const std::string &text, unsigned type, int code) override;
};
// Installs the service (once; lives for the process).
void InstallMessageBoxService();

// A hidden window that closes the open message box by pressing Enter for it, one second after
// Show(). The main view keeps one. Only a CMessageBox is ever closed this way.
class CMsgBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimer = 100;
    CMsgBox();
    explicit CMsgBox(QWidget *parent);
    void CreateHidden(QWidget *parent);
    void Show(const std::string &text);
    void PressEnter();
    bool Created() const { return m_bCreated != 0; }

private:
    void OnTimer();
    QString m_strText;
    int m_bCreated = 0;
    CWndTimers *m_timers = nullptr;
};
