#pragma once
// The up-down arrow pair beside a numeric edit. It holds the range and steps its buddy edit:
// plain steps, ratio steps (mode 40), steps along the frequency grid (modes 4, 8, 9) and delay
// steps that follow the shown centimetres or inches (mode 2). While an arrow is held the page
// hears of the change at most every 400 ms and once more at release.

#include <QPointer>
#include <QWidget>

class CNumEdit;
class CWndTimers;

class CNumSpin : public QWidget {
    Q_OBJECT
public:
    static constexpr int kNotifyTimer = 550;

    explicit CNumSpin(QWidget *parent = nullptr);
    ~CNumSpin() override;

    virtual void SetBuddy(QWidget *buddy);
    virtual QWidget *GetBuddy() const;
    virtual void GetRange32(int &min, int &max) const;
    virtual void SetRange(int min, int max);
    virtual int GetPos();
    virtual void SetPos(int p);
    virtual int IsBuddyPending() const;

    void SetMode(int mode) { m_nMode = mode; }
    int GetMode() const { return m_nMode; }
    int GetBuddyType() const;
    void SetTag(int tag) { m_nTag = tag; }
    int GetTag() const { return m_nTag; }
    // One step as from the embedded step button.
    void Step(int delta);
    int CommitBuddyDelay();

    // One arrow step of `delta`, as the arrows or the buddy's arrow keys give it.
    void DeltaPos(int delta);
    int IsHeld() const { return m_bHeld; }

    QSize sizeHint() const override { return QSize(16, 22); }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CNumEdit *Buddy() const;
    void OnTimer(int id);
    void SnapToFreqGrid();
    void FinishDelayStep(int a, int delta);

    QPointer<QWidget> m_pBuddy;
    int m_nPos = 0;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_bHeld = 0;
    int m_bChanged = 0;
    int m_nMode = 0;
    int m_nHeldPeriod = 400;
    int m_nTag = -1;
    int m_nPressDelta = 0;  // +1 on the upper arrow, -1 on the lower one while held
    CWndTimers *m_pTimers = nullptr;
};
