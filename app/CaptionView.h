#pragma once
// The start page: a form with two skin buttons that open the main view in view mode 1 or 2 (the
// main window's commands 8000 and 8001). The program never opens it.

#include <QPixmap>
#include <QWidget>

class CSkinButton;

class CCaptionView : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDD = 227;
    static constexpr int IDC_MODE2 = 1837, IDC_MODE1 = 1781;

    explicit CCaptionView(QWidget *parent = nullptr);

    CSkinButton *Mode1Button() const { return m_btnMode1; }
    CSkinButton *Mode2Button() const { return m_btnMode2; }
    // The background; empty unless set (the start-up never sets one: the page is drawn plain).
    void SetBackground(const QPixmap &bitmap);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    // Sends the command to the application's main window and waits for its handler.
    void SendCommand(int command);

    CSkinButton *m_btnMode2 = nullptr;
    CSkinButton *m_btnMode1 = nullptr;
    QPixmap m_bitmap;
};
