#pragma once
// The lock log: a diagnostic window with two text logs side by side, the data written (left) and
// the data read (right). Other code appends lines to either log, each optionally stamped with the
// high-resolution counter; Clear empties both. Nothing in the program opens it yet.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The small boxes under the two logs, published while a lock log exists so that other code can
// write into them; null otherwise. UI thread only.
extern QLineEdit *g_pLockWriteCountEdit;
extern QLineEdit *g_pLockReadCountEdit;

class CLockDataDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 109;
    static constexpr int IDC_WRITE_LOG = 1221, IDC_READ_LOG = 1024, IDC_CLEAR = 1222;
    static constexpr int IDC_WRITE_COUNT = 1884, IDC_READ_COUNT = 1885;

    explicit CLockDataDlg(QWidget *parent = nullptr);
    ~CLockDataDlg() override;

    void InitDialog();
    // Empties both logs and shows the window (modeless).
    void ShowLog();
    // Appends the text to a log; with `withTime` 1 a " (延时(秒)=… )" stamp of the counter read now
    // follows, with `newLine` 1 a line break. Both 0 continue the current line.
    void AppendWriteLog(const QString &text, int withTime, int newLine);
    void AppendReadLog(const QString &text, int withTime, int newLine);
    void OnClear();

    QPlainTextEdit *WriteLog() const { return m_editWrite; }
    QPlainTextEdit *ReadLog() const { return m_editRead; }
    QLineEdit *WriteCount() const { return m_editWriteCount; }
    QLineEdit *ReadCount() const { return m_editReadCount; }
    QPushButton *ClearButton() const { return m_btnClear; }

protected:
    void changeEvent(QEvent *e) override;

private:
    static void Append(QPlainTextEdit *log, const QString &text, int withTime, int newLine);
    void ApplyTexts();

    QPlainTextEdit *m_editWrite;
    QPlainTextEdit *m_editRead;
    QLabel *m_lblWrite;
    QLabel *m_lblRead;
    QPushButton *m_btnClear;
    QLineEdit *m_editWriteCount;
    QLineEdit *m_editReadCount;
    bool m_bInitialised = false;
};
