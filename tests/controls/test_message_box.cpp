// The message box: title by code and language, button labels and layout by type, the result of
// every way out, the self-close, and the service that routes ShowMessage from any thread.

#include "controls/MessageBox.h"

#include "platform/GlobalData.h"
#include "platform/qt/WndTimers.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

struct LanguageScope {
    explicit LanguageScope(bool chinese) : saved(g_bChinese.load()) { g_bChinese = chinese ? 1 : 0; }
    ~LanguageScope() { g_bChinese = saved; }
    int saved;
};

TEST(MessageBox, TitleByCodeAndLanguage)
{
    QtTestApp();
    struct Case {
        int code;
        bool chinese;
        const char *title;
        bool closes;
    } cases[] = {
        {0, false, "caption", false},     {0, true, "caption", false},
        {2000, false, "Prompting", true}, {2000, true, "提示", true},
        {2001, false, "Warning", true},   {2001, true, "警告", true},
        {-2, false, "提示", false},       {-3, true, "Prompting", false},
        {-4, false, "警告", false},       {-5, true, "Warning", false},
        {1500, false, "caption", true},   {-7, true, "caption", false},
    };
    for (const auto &c : cases) {
        LanguageScope lang(c.chinese);
        CMessageBox box("text", MB_OK, "caption", c.code);
        box.InitDialog();
        EXPECT_EQ(box.windowTitle(), QString::fromUtf8(c.title)) << c.code << " " << c.chinese;
        EXPECT_EQ(box.CloseTimerActive(), c.closes) << c.code;
    }
    // Through SetMessage the caption is always the product name.
    CMessageBox box(nullptr);
    box.SetMessage("text", MB_OK, "ignored", 0);
    box.InitDialog();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("ZK-470"));
}

TEST(MessageBox, LabelsAndLayoutByType)
{
    QtTestApp();
    struct Case {
        unsigned type;
        bool chinese;
        const char *ok;  // nullptr: hidden
        const char *cancel;
    } cases[] = {
        {MB_OK, true, "确定", nullptr},         {MB_OK, false, "OK", nullptr},
        {MB_OKCANCEL, true, "确定", "取消"},    {MB_OKCANCEL, false, "OK", "Cancel"},
        {MB_YESNO, true, "是", "否"},           {MB_YESNO, false, "YES", "NO"},
        {6, true, nullptr, "退出"},             {6, false, nullptr, "Quit"},
        {MB_YESNO | MB_ICONWARNING, true, "OK", "Cancel"},  // icon types keep the template labels
    };
    for (const auto &c : cases) {
        LanguageScope lang(c.chinese);
        CMessageBox box("text", c.type, "caption", 0);
        box.show();
        EXPECT_EQ(box.OkButton()->isVisible(), c.ok != nullptr) << c.type;
        EXPECT_EQ(box.CancelButton()->isVisible(), c.cancel != nullptr) << c.type;
        if (c.ok) {
            EXPECT_EQ(box.OkButton()->text(), QString::fromUtf8(c.ok)) << c.type;
        }
        if (c.cancel) {
            EXPECT_EQ(box.CancelButton()->text(), QString::fromUtf8(c.cancel)) << c.type;
        }
        if (!c.ok || !c.cancel) {  // the single button is centred
            QPushButton *b = c.ok ? box.OkButton() : box.CancelButton();
            EXPECT_EQ(b->x(), (box.width() - b->width()) / 2) << c.type;
        }
        EXPECT_EQ(box.TextLabel()->text(), QStringLiteral("text"));
        EXPECT_TRUE(box.TextLabel()->alignment() & Qt::AlignHCenter);
        box.hide();
    }
}

enum class Way { OkButton, Enter, CancelButton, Escape, Close, Timer };

// With a clock, Way::Timer moves it to just before the box's period, notes whether the box is
// still open, then moves it the last millisecond.
int runBox(unsigned type, int code, Way way, CManualTimerClock *clock = nullptr, bool *openJustBefore = nullptr)
{
    CMessageBox box("text", type, "caption", code);
    QTimer::singleShot(0, &box, [&] {
        switch (way) {
        case Way::OkButton: QTest::mouseClick(box.OkButton(), Qt::LeftButton); break;
        case Way::Enter: QTest::keyClick(&box, Qt::Key_Return); break;
        case Way::CancelButton: QTest::mouseClick(box.CancelButton(), Qt::LeftButton); break;
        case Way::Escape: QTest::keyClick(&box, Qt::Key_Escape); break;
        case Way::Close: box.close(); break;
        case Way::Timer:
            if (clock) {
                clock->Advance(code - 1);
                *openJustBefore = box.isVisible();
                clock->Advance(1);
            }
            break;
        }
    });
    return box.DoModal();
}

TEST(MessageBox, ResultOfEveryWayOut)
{
    QtTestApp();
    struct Case {
        unsigned type;
        Way way;
        int result;
    } cases[] = {
        {MB_OK, Way::OkButton, IDOK},          {MB_OK, Way::Escape, IDOK},          {MB_OK, Way::Close, IDOK},
        {MB_OKCANCEL, Way::OkButton, IDOK},    {MB_OKCANCEL, Way::Enter, IDOK},     {MB_OKCANCEL, Way::CancelButton, IDCANCEL},
        {MB_OKCANCEL, Way::Escape, IDCANCEL},  {MB_YESNO, Way::OkButton, IDYES},    {MB_YESNO, Way::CancelButton, IDNO},
        {MB_YESNO, Way::Close, IDNO},          {6, Way::CancelButton, IDCANCEL},    {6, Way::Escape, IDCANCEL},
        // Ways the box itself leaves without a result still give a defined one.
        {6, Way::Enter, IDCANCEL},             {MB_YESNO | MB_ICONQUESTION, Way::OkButton, IDYES},
        {MB_YESNO | MB_ICONQUESTION, Way::Escape, IDNO},
        {MB_RETRYCANCEL, Way::OkButton, IDRETRY}, {MB_RETRYCANCEL, Way::Close, IDCANCEL},
    };
    for (const auto &c : cases)
        EXPECT_EQ(runBox(c.type, 0, c.way), c.result) << "type " << c.type << " way " << int(c.way);
}

TEST(MessageBox, ClosesItselfAfterItsCode)
{
    QtTestApp();
    LanguageScope lang(false);
    CManualTimerClock clock;
    const struct {
        unsigned type;
        int code, result;
    } cases[] = {{MB_OK, 2000, IDOK}, {MB_YESNO, 150, IDNO}, {MB_OKCANCEL, 150, IDCANCEL}, {6, 150, IDCANCEL}};
    for (const auto &c : cases) {
        bool openJustBefore = false;
        EXPECT_EQ(runBox(c.type, c.code, Way::Timer, &clock, &openJustBefore), c.result) << c.type;
        EXPECT_TRUE(openJustBefore) << "type " << c.type << " closed before its " << c.code << " ms";
    }
}

TEST(MessageBox, ServiceRoutesMessagesFromAnyThread)
{
    QtTestApp();
    InstallMessageBoxService();
    // UI thread: the box runs and its result comes back.
    QTimer::singleShot(50, [] {
        auto *box = qobject_cast<CMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("ZK-470"));
        QTest::mouseClick(box->OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(ShowMessage("ui thread", MB_YESNO, 0), IDYES);
    EXPECT_EQ(TimedMessageBox(nullptr, "timed", "x", MB_OK, 0, 100), IDOK);

    // Worker thread: returns at once; the box appears on the UI thread.
    int workerResult = -1;
    std::thread worker([&] { workerResult = ShowMessage("from the worker", MB_OKCANCEL, 100); });
    worker.join();
    EXPECT_EQ(workerResult, IDCANCEL);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<CMessageBox *>(QApplication::activeModalWidget());
        seen = box && box->TextLabel()->text() == QStringLiteral("from the worker");
    });
    ASSERT_TRUE(WaitUntil([&] { return seen; }, 2000));
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeModalWidget() == nullptr; }, 2000));
    // A question from the worker is answered "no" at once; the box still shows and closes.
    std::thread([&] { workerResult = ShowMessage("asked from the worker", MB_YESNO, 100); }).join();
    EXPECT_EQ(workerResult, IDNO) << "never a yes the user did not give";
    seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<CMessageBox *>(QApplication::activeModalWidget());
        seen = box && box->TextLabel()->text() == QStringLiteral("asked from the worker");
    });
    ASSERT_TRUE(WaitUntil([&] { return seen; }, 2000));
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeModalWidget() == nullptr; }, 2000));
    SetMessageBoxService(nullptr);
}

TEST(MsgBox, PressesEnterOnTheOpenBox)
{
    QtTestApp();
    InstallMessageBoxService();
    QWidget view;
    CMsgBox helper;
    helper.CreateHidden(&view);
    EXPECT_TRUE(helper.Created());
    EXPECT_FALSE(helper.isVisible());
    CManualTimerClock clock;
    bool openJustBefore = false;
    QTimer::singleShot(0, [&] {
        clock.Advance(999);
        openJustBefore = QApplication::activeModalWidget() != nullptr;
        clock.Advance(1);
    });
    helper.Show("closes by itself");  // returns once the simulated Enter closed the box
    EXPECT_TRUE(openJustBefore) << "Enter comes after one second";
    SetMessageBoxService(nullptr);
}

}  // namespace
