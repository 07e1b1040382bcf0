// The numeric edit, its spin and its step button driven through real events: commit at focus
// loss, the pending mark, keys, the spin's step modes and notifications, the step button's areas.

#include "controls/CtrlMessages.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/SpinBtn.h"
#include "controls/ConsoleStyle.h"
#include "platform/GlobalData.h"
#include "platform/ViewServices.h"
#include "platform/qt/WndTimers.h"
#include "tests/controls/CtrlTestKit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class BoxRecorder : public IMessageBoxService {
public:
    struct Box {
        std::string text;
        unsigned type;
        int code;
    };
    int ShowMessage(const std::string &text, unsigned type, int code) override
    {
        boxes.push_back({text, type, code});
        return IDOK;
    }
    std::vector<Box> boxes;
};

struct Page : RecordingPage {
    Page()
    {
        edit = new CNumEdit(this);
        SetCtrlId(edit, 1001);
        edit->setGeometry(10, 10, 110, 22);
        spin = new CNumSpin(this);
        SetCtrlId(spin, 1002);
        spin->setGeometry(122, 10, 16, 22);
        spin->SetBuddy(edit);
        other = new QLineEdit(this);
        other->setGeometry(10, 60, 80, 22);
        show();
        activateWindow();
        (void)QTest::qWaitForWindowActive(this);
    }
    void Type(const char *text)
    {
        edit->setFocus();
        QCoreApplication::processEvents();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void Leave()
    {
        other->setFocus();
        QCoreApplication::processEvents();
    }
    CNumEdit *edit;
    CNumSpin *spin;
    QLineEdit *other;
};

TEST(NumEdit, CommitsTypedTextOnceAndNotifies)
{
    Page page;
    page.edit->SetType(0, "ms");
    page.spin->SetRange(0, 960);
    page.edit->SetValue(100);
    page.Clear();

    page.Type("10.5");
    page.Leave();
    EXPECT_EQ(page.edit->GetValue(), 504);
    EXPECT_EQ(page.edit->text(), "10.500MS");
    ASSERT_EQ(page.Of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(page.Of(WM_COMMAND)[0].wParam, 1001u);

    // Focus in and out again without typing: nothing is re-parsed or reported.
    page.Clear();
    page.edit->setFocus();
    QCoreApplication::processEvents();
    page.Leave();
    EXPECT_TRUE(page.Of(WM_COMMAND).empty());
    EXPECT_EQ(page.edit->GetValue(), 504);
}

TEST(NumEdit, CentimetreValueDoesNotDriftOnRefocus)
{
    Page page;
    page.edit->SetType(1, "cm");
    page.spin->SetRange(0, 960);
    page.Type("345");
    page.Leave();
    const int v = page.edit->GetValue();
    const QString shown = page.edit->text();
    for (int i = 0; i < 3; ++i) {
        page.edit->setFocus();
        QCoreApplication::processEvents();
        page.Leave();
    }
    EXPECT_EQ(page.edit->GetValue(), v);
    EXPECT_EQ(page.edit->text(), shown);
}

TEST(NumEdit, JunkKeepsTheValueAndShowsItAgain)
{
    Page page;
    page.edit->SetType(0, "ms");
    page.spin->SetRange(0, 960);
    page.edit->SetValue(480);
    page.Clear();
    page.Type("abc");
    page.Leave();
    EXPECT_EQ(page.edit->GetValue(), 480);
    EXPECT_EQ(page.edit->text(), "10.000MS");
    EXPECT_TRUE(page.Of(WM_COMMAND).empty());
}

TEST(NumEdit, ValueRulesOfTheWidget)
{
    Page page;
    page.edit->SetType(33);
    page.spin->SetRange(0, 200);
    page.edit->SetValue(150);
    EXPECT_EQ(page.edit->text(), "100");
    EXPECT_EQ(page.edit->GetValue(), 100) << "the percent type stores the value it shows";

    page.edit->SetValue(250);  // outside the range: ignored
    EXPECT_EQ(page.edit->GetValue(), 100);
    page.edit->SetRange(5, 10);  // value becomes min, text stays until the next update
    EXPECT_EQ(page.edit->GetValue(), 5);
    EXPECT_EQ(page.edit->text(), "100");

    // Typed but uncommitted text: a silent read rounds, and an out-of-range text changes nothing.
    page.edit->SetType(0, "ms");
    page.spin->SetRange(0, 960);
    page.Type("25");
    EXPECT_EQ(page.spin->GetPos(), 0);
    page.Type("10.51");
    EXPECT_EQ(page.spin->GetPos(), 504);
    EXPECT_FALSE(page.edit->IsPending());
}

TEST(NumEdit, KeysArePostedToThePage)
{
    Page page;
    page.edit->SetType(4);
    page.spin->SetRange(0, 100);
    page.edit->setFocus();
    QCoreApplication::processEvents();
    page.Clear();
    QTest::keyClick(page.edit, Qt::Key_5);
    QTest::keyClick(page.edit, Qt::Key_Left, Qt::ShiftModifier);
    const auto keys = page.Of(WM_NUMEDIT_KEY);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], (RecordedMessage{WM_NUMEDIT_KEY, 1001, 0x35}));
}

TEST(NumEdit, DialogKeysStillReachTheDialog)
{
    QtTestApp();
    QDialog dlg;
    auto *edit = new CNumEdit(&dlg);
    auto *ok = new QPushButton("OK", &dlg);
    ok->move(0, 40);
    ok->setDefault(true);
    int accepted = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++accepted; });
    edit->SetType(4);
    edit->SetRange(0, 100);
    dlg.show();
    edit->setFocus();
    QCoreApplication::processEvents();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(accepted, 1);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(NumEdit, ClickTellsThePageAndSelectsAll)
{
    Page page;
    page.edit->SetType(4);
    page.spin->SetRange(0, 100);
    page.edit->SetValue(42);
    page.Leave();
    page.Clear();
    QTest::mousePress(page.edit, Qt::LeftButton, {}, QPoint(30, 10));
    QTest::mouseRelease(page.edit, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_EQ(page.Of(WM_COMMAND).size(), 1u);
    EXPECT_TRUE(page.edit->hasFocus());
    EXPECT_EQ(page.edit->selectedText(), "42");
    EXPECT_TRUE(page.edit->GetHighlight());
    // A second click places the caret.
    QTest::mouseClick(page.edit, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(page.edit->selectedText().isEmpty());
    EXPECT_EQ(page.Of(WM_COMMAND).size(), 2u);
}

TEST(NumEdit, LanguageSwitchFocusLookAndReadOnly)
{
    Page page;
    const int saved = g_bChinese.load();
    g_bChinese = 0;
    page.edit->SetType(23);
    page.spin->SetRange(0, 600);
    page.edit->SetScale(0.1);
    page.edit->SetOffset(60);
    page.edit->SetValue(0);
    EXPECT_EQ(page.edit->text(), "OFF");
    g_bChinese = 1;
    page.edit->RefreshOffText();
    EXPECT_EQ(page.edit->text(), QString::fromUtf8("关闭"));
    page.edit->SetType(0, "ms");
    page.spin->SetRange(0, 960);
    page.edit->SetValue(480);
    g_bChinese = 0;
    page.edit->RefreshOffText();  // the delay types follow the language with their unit
    EXPECT_EQ(page.edit->text(), "10.000MS");
    g_bChinese = saved;

    // Focused: black on the focus colour; otherwise white on the page's skin.
    page.edit->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(page.edit->palette().color(QPalette::Base), QColor(137, 172, 209));
    EXPECT_EQ(page.edit->palette().color(QPalette::Text), QColor(Qt::black));
    page.Leave();
    EXPECT_EQ(page.edit->palette().color(QPalette::Base).alpha(), 0);
    EXPECT_EQ(page.edit->palette().color(QPalette::Text), QColor(255, 255, 255));

    // Read-only: Shift with a key does nothing at all, and a drag selects nothing.
    page.edit->SetReadOnly(1);
    page.edit->setFocus();
    QCoreApplication::processEvents();
    page.Clear();
    QTest::keyClick(page.edit, Qt::Key_Left, Qt::ShiftModifier);
    QTest::mousePress(page.edit, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(page.edit, QPoint(100, 10));
    QTest::mouseRelease(page.edit, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_TRUE(page.edit->selectedText().isEmpty());
    EXPECT_TRUE(page.Of(WM_NUMEDIT_KEY).empty());
    QTest::mouseDClick(page.edit, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_TRUE(page.edit->selectedText().isEmpty());
    page.edit->SetReadOnly(0);
    QTest::mouseDClick(page.edit, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_EQ(page.edit->selectedText(), page.edit->text());  // a double click selects the whole text

    // The edit's own show memory: commands other than hide and show change nothing.
    EXPECT_EQ(page.edit->ShowWindow(SW_SHOWNA), 1);
    EXPECT_TRUE(page.edit->isVisible());
    page.edit->ShowWindow(SW_HIDE);
    EXPECT_FALSE(page.edit->isVisible());
    EXPECT_EQ(page.edit->ShowWindow(SW_HIDE), 0);
    page.edit->ShowWindow(SW_SHOW);
    EXPECT_TRUE(page.edit->isVisible());
}

// The edit and its children as they show, on a dark ground.
QImage Picture(CNumEdit *edit)
{
    QImage image(edit->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::darkGray);
    edit->render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

// The edit paints its own text until it is first edited, then hands the painting to a line edit:
// the two pictures are the same, and the line edit starts from the text and settings it was given.
TEST(NumEdit, LineEditIsMadeAtTheFirstFocusAndLooksTheSame)
{
    struct Case {
        const char *name;
        std::function<void(CNumEdit *)> set;
    };
    const Case cases[] = {
        {"centred value", [](CNumEdit *) {}},
        {"right aligned", [](CNumEdit *e) { e->setAlignment(Qt::AlignRight | Qt::AlignVCenter); }},
        {"wider than the edit, its end shown", [](CNumEdit *e) { e->setText(QString(40, QLatin1Char('8'))); }},
        {"highlighted", [](CNumEdit *e) { e->SetHighlight(1); }},
        {"disabled", [](CNumEdit *e) { e->EnableWindow(0); }},
        // The laid-out text is kept between paints: a new text or face lays it out again.
        {"new text after a paint", [&](CNumEdit *e) { Picture(e); e->setText(QStringLiteral("7.25MS")); }},
        {"new face after a paint", [&](CNumEdit *e) {
             Picture(e);
             QFont f = e->font();
             f.setPixelSize(f.pixelSize() > 0 ? f.pixelSize() + 4 : 18);
             e->setFont(f);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Page page;  // the page's first edit has the focus: this one is only shown
        auto *edit = new CNumEdit(&page);
        edit->setGeometry(10, 100, 110, 22);
        edit->SetRange(0, 960);
        edit->SetType(0, "ms");
        edit->SetValue(100);
        c.set(edit);
        edit->show();
        ASSERT_EQ(edit->Editor(), nullptr) << "showing a value makes no line edit";
        const QImage painted = Picture(edit);
        const QString text = edit->text();
        edit->setCursorPosition(int(text.size()));  // makes the line edit, caret at the end
        ASSERT_NE(edit->Editor(), nullptr);
        EXPECT_EQ(edit->Editor()->text(), text);
        EXPECT_EQ(Picture(edit), painted);
    }

    // The first focus makes the line edit with the text and the typing limit; the numeric edit
    // keeps the focus and reads what was typed.
    Page page;
    page.Leave();
    auto *edit = new CNumEdit(&page);
    SetCtrlId(edit, 1003);
    edit->setGeometry(10, 100, 110, 22);
    edit->SetRange(0, 960);
    edit->SetType(0, "ms");
    edit->SetValue(100);
    edit->setMaxLength(8);
    edit->show();
    ASSERT_EQ(edit->Editor(), nullptr);
    page.edit = edit;
    page.Clear();
    page.Type("123456789");
    ASSERT_NE(page.edit->Editor(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), page.edit);
    EXPECT_EQ(page.edit->text(), "12345678");
    page.Leave();
    EXPECT_EQ(page.edit->text(), "20.000MS") << "committed and limited to the range";
    EXPECT_EQ(page.Of(WM_COMMAND).size(), 1u);
}

TEST(NumSpin, StepModes)
{
    Page page;
    // Ratio steps.
    page.edit->SetType(40);
    page.spin->SetRange(1, 191);
    const struct {
        int from, delta, to;
    } ratio[] = {{10, 1, 11}, {11, 1, 16}, {16, -1, 11}, {11, -1, 6}, {1, -1, 1}};
    for (const auto &c : ratio) {
        page.spin->SetPos(c.from);
        page.spin->DeltaPos(c.delta);
        EXPECT_EQ(page.spin->GetPos(), c.to) << c.from << " by " << c.delta;
    }
    // A frequency type given before the range steps along the grid ...
    page.edit->SetType(8);
    page.spin->SetRange(20, 20000);
    page.spin->SetPos(1000);
    page.spin->DeltaPos(1);
    EXPECT_EQ(page.edit->GetValue(), 1030);
    page.spin->SetPos(20);
    page.spin->DeltaPos(-1);
    EXPECT_EQ(page.edit->GetValue(), 20);
    // ... one given after it steps by one hertz.
    page.edit->SetType(6);
    page.spin->SetRange(20, 20000);
    page.edit->SetType(8);
    page.spin->SetPos(1000);
    page.spin->DeltaPos(1);
    EXPECT_EQ(page.edit->GetValue(), 1001);
}

TEST(NumSpin, OutOfRangePositionIsReportedThenLimited)
{
    BoxRecorder boxes;
    SetMessageBoxService(&boxes);
    Page page;
    page.edit->SetType(8);
    page.spin->SetRange(20, 20000);
    const struct {
        int pos;
        bool chinese;
        int shown;  // the position after the box
        const char *text;
        int code;  // the box's caption: -2 Chinese, -3 English
    } cases[] = {
        {25000, false, 20000, "Set Pos Error!", -3},
        {-5, true, 20, "设定Pos错误!", -2},
        {20000, false, 20000, nullptr, 0},  // the range's ends are inside it
        {20, false, 20, nullptr, 0},
    };
    for (const auto &c : cases) {
        boxes.boxes.clear();
        g_bChinese = c.chinese ? 1 : 0;
        page.spin->SetPos(c.pos);
        EXPECT_EQ(page.spin->GetPos(), c.shown) << c.pos;
        EXPECT_EQ(page.edit->GetValue(), c.shown) << c.pos;
        if (!c.text) {
            EXPECT_TRUE(boxes.boxes.empty()) << c.pos;
            continue;
        }
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.pos;
        EXPECT_EQ(boxes.boxes[0].text, c.text);
        EXPECT_EQ(boxes.boxes[0].type, unsigned(MB_OK));
        EXPECT_EQ(boxes.boxes[0].code, c.code);
    }
    g_bChinese = 0;
    SetMessageBoxService(nullptr);
}

TEST(NumSpin, DelayStepsReachTheSpeakerGroupFromKeysAndHeldArrows)
{
    CManualTimerClock clock;
    Page page;
    page.edit->SetType(1, "cm");
    page.spin->SetRange(0, 960);
    page.spin->SetMode(2);
    page.spin->SetPos(100);
    page.edit->setFocus();
    QCoreApplication::processEvents();
    page.Clear();
    QTest::keyClick(page.edit, Qt::Key_Up);
    EXPECT_EQ(page.edit->GetValue(), 101);
    const auto order = page.Numbers();
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], WM_COMMAND);
    EXPECT_EQ(order[1], WM_NUMSPIN_DELAYSTEP);
    EXPECT_EQ(page.Of(WM_NUMSPIN_DELAYSTEP)[0].lParam, 1);

    // A disabled spin does not step its edit.
    page.spin->setEnabled(false);
    page.Clear();
    QTest::keyClick(page.edit, Qt::Key_Up);
    EXPECT_EQ(page.edit->GetValue(), 101);
    EXPECT_TRUE(page.Of(WM_NUMSPIN_DELAYSTEP).empty());
    page.spin->setEnabled(true);

    // Holding the lower arrow: every step is passed on, and the page hears of the value at release.
    page.Clear();
    QTest::mousePress(page.spin, Qt::LeftButton, {}, QPoint(8, 18));
    clock.Advance(700);
    QTest::mouseRelease(page.spin, Qt::LeftButton, {}, QPoint(8, 18));
    EXPECT_LE(page.edit->GetValue(), 100 - 2);
    const auto group = page.Of(WM_NUMSPIN_DELAYSTEP);
    EXPECT_GE(group.size(), 2u);
    for (const auto &m : group)
        EXPECT_EQ(m.lParam, -1);
    EXPECT_GE(page.Of(WM_COMMAND).size(), 1u);
}

TEST(NumSpin, HeldArrowTellsThePageByTimerAndAtRelease)
{
    CManualTimerClock clock;
    Page page;
    page.edit->SetType(4);
    page.spin->SetRange(0, 1000);
    page.spin->SetPos(100);
    page.Clear();
    QTest::mousePress(page.spin, Qt::LeftButton, {}, QPoint(8, 4));
    clock.Advance(1000);
    const int during = static_cast<int>(page.Of(WM_COMMAND).size());
    QTest::mouseRelease(page.spin, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_GT(page.edit->GetValue(), 102);  // the text followed every repeat
    EXPECT_GE(during, 1);                   // the timer told the page while held ...
    EXPECT_EQ(static_cast<int>(page.Of(WM_COMMAND).size()), during + 1);  // ... and the release once more
    EXPECT_TRUE(page.Of(WM_NUMSPIN_DELAYSTEP).empty());
}

TEST(NumSpin, StepStartsFromPendingTypedText)
{
    Page page;
    page.edit->SetType(4);
    page.spin->SetRange(0, 100);
    page.Type("40");
    page.spin->Step(1);
    EXPECT_EQ(page.edit->GetValue(), 41);
    EXPECT_EQ(page.edit->text(), "41");
}

TEST(SpinBtn, AreasAndSteps)
{
    Page page;
    page.edit->SetType(4);
    page.spin->SetRange(0, 100);
    page.edit->CreateSpinButton(1003);
    page.spin->SetPos(50);
    page.edit->AttachSpin(1002, page.spin);
    page.edit->SetReadOnly(1);
    CSpinBtn *btn = page.edit->GetSpinButton();
    ASSERT_NE(btn, nullptr);
    btn->resize(110, 22);
    EXPECT_EQ(btn->MinusArea().left(), 0);
    EXPECT_EQ(btn->MinusArea().right(), 19);
    EXPECT_EQ(btn->MiddleArea().left(), 20);
    EXPECT_EQ(btn->MiddleArea().right(), 89);
    EXPECT_EQ(btn->PlusArea().left(), 90);
    EXPECT_EQ(btn->PlusArea().right(), 109);
    EXPECT_EQ(btn->text(), "50");

    // A press on an inactive button only activates it; it does not step.
    page.Leave();
    ASSERT_FALSE(btn->IsActive());
    QTest::mousePress(btn, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseRelease(btn, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(page.edit->GetValue(), 50);

    // Focused and active: a short click does nothing, a double click steps once, the wheel never.
    page.edit->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(btn->IsActive());
    QTest::mouseClick(btn, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(page.edit->GetValue(), 50);
    QTest::mouseDClick(btn, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(page.edit->GetValue(), 51);
    EXPECT_EQ(btn->text(), "51");
    QWheelEvent wheel(QPointF(100, 10), btn->mapToGlobal(QPointF(100, 10)), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(btn, &wheel);
    EXPECT_EQ(page.edit->GetValue(), 51);

    // A value typed while the edit takes typing reaches the button's face as well.
    page.edit->SetReadOnly(0);
    page.Type("64");
    page.Leave();
    EXPECT_EQ(page.edit->GetValue(), 64);
    EXPECT_EQ(btn->text(), "64");
}

}  // namespace

// The console dialogs' style sheet (and one that names fonts) must not change the face of the line
// edit made at the first focus: it shows the numeric edit's face, in the same place, and follows
// it when the face changes later.
TEST(NumEdit, LineEditKeepsTheEditsFaceUnderADialogStyleSheet)
{
    const auto sameFace = [](const QFont &a, const QFont &b) {
        EXPECT_EQ(a.family(), b.family());
        EXPECT_EQ(a.pixelSize(), b.pixelSize());
        EXPECT_EQ(a.pointSizeF(), b.pointSizeF());
        EXPECT_EQ(a.weight(), b.weight());
    };
    struct Case {
        const char *name;
        const char *extraSheet;
    };
    const Case cases[] = {
        {"the console dialogs' sheet", ""},
        {"a sheet naming a font for every widget", "QWidget { font: 20px 'DejaVu Serif'; }"},
        {"a sheet naming a font for line edits", "QLineEdit { font: bold 20px 'DejaVu Serif'; }"},
    };
    // The program's palette, under which a line edit in these dialogs draws its well.
    struct ConsoleLook {
        QPalette saved = QApplication::palette();
        ConsoleLook() { QApplication::setPalette(ConsolePalette()); }
        ~ConsoleLook() { QApplication::setPalette(saved); }
    } look;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPage dialog;
        dialog.setFont(MakeFont(QStringLiteral("Arial"), 16));
        ApplyConsoleDialogStyle(&dialog);
        dialog.setStyleSheet(dialog.styleSheet() + QLatin1String(c.extraSheet));
        auto *other = new QLineEdit(&dialog);  // takes the first focus
        other->setGeometry(10, 60, 80, 22);
        auto *edit = new CNumEdit(&dialog);
        edit->setGeometry(10, 10, 60, 20);
        edit->setFont(MakeFont(QStringLiteral("Arial"), 13));
        edit->SetRange(0, 100);
        edit->SetType(4);
        edit->SetValue(42);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        ASSERT_EQ(edit->Editor(), nullptr);
        const QImage painted = Picture(edit);

        edit->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(WaitUntil([&] { return edit->hasFocus(); }, 5000));
        ASSERT_NE(edit->Editor(), nullptr);
        sameFace(edit->Editor()->font(), edit->font());
        // Without the focus look the line edit draws what the numeric edit drew.
        other->setFocus();
        ASSERT_TRUE(WaitUntil([&] { return other->hasFocus(); }, 5000));
        edit->setCursorPosition(int(edit->text().size()));
        EXPECT_EQ(Picture(edit), painted);

        QFont bigger = edit->font();
        bigger.setPixelSize(bigger.pixelSize() + 5);
        edit->setFont(bigger);
        sameFace(edit->Editor()->font(), edit->font());
        // A sheet set again polishes the line edit again.
        dialog.setStyleSheet(dialog.styleSheet() + QStringLiteral(" "));
        edit->Editor()->ensurePolished();
        sameFace(edit->Editor()->font(), edit->font());
    }
}

// Where the focus went and came back from decides whether the caret and selection stay: back
// from the edit's own menu or from another window they stay, so a paste goes to the caret and
// keeps the rest; a focus that moves in (Tab) selects all. Text typed and not committed stays
// typed while the edit's menu is open.
TEST(NumEdit, FocusBackFromMenuOrWindowKeepsTheCaretForAPaste)
{
    struct Case {
        const char *name;
        const char *typed;  // typed over the value before the focus goes; null: the value "123"
        int caret;
        std::function<void(Page &)> awayAndBack;  // ends with the clipboard's "9" pasted
        const char *expected;
    };
    const auto pasteFromTheMenu = [](Page &page) {
        const QPoint at(20, 10);
        QContextMenuEvent right(QContextMenuEvent::Mouse, at, page.edit->mapToGlobal(at));
        QCoreApplication::sendEvent(page.edit, &right);
        ASSERT_TRUE(ClickMenuItem(QStringLiteral("&Paste")));
    };
    const auto sendFocus = [](Page &page, Qt::FocusReason reason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(page.edit, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QCoreApplication::sendEvent(page.edit, &in);
        page.edit->Editor()->paste();
    };
    const Case cases[] = {
        {"the edit's menu", nullptr, 1, pasteFromTheMenu, "1923"},
        {"the edit's menu over typed text", "45", 2, pasteFromTheMenu, "459"},
        {"another window", nullptr, 2, [&](Page &p) { sendFocus(p, Qt::ActiveWindowFocusReason); }, "1293"},
        {"a Tab away and back", nullptr, 2, [&](Page &p) { sendFocus(p, Qt::TabFocusReason); }, "9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Page page;
        QGuiApplication::clipboard()->setText(QStringLiteral("9"));
        page.edit->SetType(4);
        page.spin->SetRange(0, 10000);
        page.edit->SetValue(123);
        page.Leave();
        page.Clear();
        if (c.typed)
            page.Type(c.typed);
        else
            page.edit->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(WaitUntil([&] { return page.edit->hasFocus(); }, 5000));
        page.edit->setCursorPosition(c.caret);
        c.awayAndBack(page);
        EXPECT_EQ(page.edit->text(), QLatin1String(c.expected));
        EXPECT_TRUE(page.Of(WM_COMMAND).empty()) << "nothing committed before the focus leaves";
        page.Leave();
        EXPECT_EQ(page.edit->GetValue(), QString::fromLatin1(c.expected).toInt()) << "committed at the leave";
    }
}

// The Menu key opens the edit's menu at the caret, not at the middle of the edit.
TEST(NumEdit, MenuKeyOpensTheMenuAtTheCaret)
{
    Page page;
    page.edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    page.edit->setText(QStringLiteral("12345"));
    page.edit->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitUntil([&] { return page.edit->hasFocus(); }, 5000));
    page.edit->setCursorPosition(1);
    page.edit->repaint();  // the line edit places its text when it paints
    const QRect caret = page.edit->Editor()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    ASSERT_LT(caret.center().x() + 20, page.edit->width() / 2) << "the caret stands apart from the middle";
    // What the window sends the focused widget for the Menu key: the middle of its caret
    // rectangle, which for a widget without a caret is its middle.
    const QPoint middle = page.edit->rect().center();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, middle, page.edit->mapToGlobal(middle));
    QCoreApplication::sendEvent(page.edit, &key);
    QMenu *menu = OpenedMenu();
    ASSERT_NE(menu, nullptr);
    const QPoint expected = page.edit->Editor()->mapToGlobal(caret.center());
    EXPECT_LE((menu->pos() - expected).manhattanLength(), 1);
    menu->close();
    ASSERT_TRUE(WaitUntil([] { return QApplication::activePopupWidget() == nullptr; }, 5000));
    EXPECT_TRUE(page.edit->hasFocus());
    EXPECT_EQ(page.edit->cursorPosition(), 1);
}
