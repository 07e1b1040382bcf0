// The drop-down selector and the drop-down button: list height and placement, picks, the wheel,
// hover selection, what a close without a pick keeps, and what is set before the popup is made.

#include "controls/ComBoxBtn.h"
#include "controls/CtrlMessages.h"
#include "controls/DropBtn.h"
#include "controls/DropListBox.h"
#include "controls/DropWnd.h"
#include "platform/qt/Fonts.h"
#include "tests/controls/CtrlTestKit.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ComboPage : RecordingPage {
    explicit ComboPage(int items, QPoint at = QPoint(20, 20))
    {
        combo = new CComBoxBtn(this);
        SetCtrlId(combo, 3000);
        combo->setGeometry(at.x(), at.y(), 120, 24);
        show();
        EXPECT_EQ(combo->CreateDropList(this, 77), 1);
        for (int i = 0; i < items; ++i)
            combo->AddString(QStringLiteral("Item %1").arg(i));
        combo->SetCurSel(0);
    }
    void Wheel(int delta)
    {
        QWheelEvent w(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(combo, &w);
    }
    CComBoxBtn *combo;
};

TEST(ComBoxBtn, ListHeightAndPlacement)
{
    ComboPage three(3);
    // Rows as high as the list font's lines.
    const int h = QFontMetrics(three.combo->List()->font()).height();
    EXPECT_EQ(three.combo->List()->GetItemHeight(), h);
    EXPECT_EQ(three.combo->DropRect().height(), 3 * h);
    EXPECT_EQ(three.combo->DropRect().top(), three.combo->mapToGlobal(QPoint(0, 23)).y());
    EXPECT_EQ(three.combo->DropRect().width(), 120);

    ComboPage ten(10);
    EXPECT_EQ(ten.combo->DropRect().height(), 130);

    // Near the bottom of the work area the list opens upwards, ending on the button's top edge.
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    ComboPage low(10);
    low.move(work.left(), work.bottom() - 40);
    low.combo->move(0, 0);
    const QRect r = low.combo->DropRect();
    EXPECT_EQ(r.bottom() + 1, low.combo->mapToGlobal(QPoint(0, 0)).y());
}

// The popup is made at the first opening or request; what the button was told before then must
// leave the list as a list told the same from the start.
TEST(ComBoxBtn, ListMadeLateHoldsWhatWasSetBefore)
{
    struct Op {
        char what;  // Add, Insert, Reset, Select
        int index;
    };
    const struct {
        const char *name;
        std::vector<Op> ops;
    } cases[] = {
        {"one item selects nothing", {{'A', 0}}},
        {"second item selects the first", {{'A', 0}, {'A', 0}, {'A', 0}}},
        {"insert above moves the selection", {{'A', 0}, {'A', 0}, {'S', 1}, {'I', 0}, {'I', 9}, {'I', 3}}},
        {"insert into an empty list, then above", {{'I', 5}, {'I', 0}}},
        {"bad index clears", {{'A', 0}, {'A', 0}, {'A', 0}, {'S', 7}, {'I', 0}}},
        {"reset clears the selection", {{'A', 0}, {'A', 0}, {'A', 0}, {'S', 2}, {'R', 0}, {'A', 0}}},
        {"fifteen rows reach the cap", std::vector<Op>(15, Op{'A', 0})},
    };
    const QFont listFont = MakeFont(QStringLiteral("Arial"), 20, 700);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPage page;
        auto *combo = new CComBoxBtn(&page);
        combo->setGeometry(20, 20, 120, 24);
        page.show();
        combo->SetFonts(listFont, listFont);
        ASSERT_EQ(combo->CreateDropList(&page, 77), 1);
        combo->SetFonts(MakeFont(QStringLiteral("Arial"), 11), MakeFont(QStringLiteral("Arial"), 11));  // the list keeps the first
        CDropListBox ref;
        ref.SetListFont(listFont);
        int n = 0;
        for (const Op &op : c.ops) {
            const QString text = QStringLiteral("Item %1").arg(n++);
            switch (op.what) {
            case 'A': combo->AddString(text), ref.AddItem(text); break;
            case 'I': combo->InsertString(op.index, text), ref.InsertItem(op.index, text); break;
            case 'R': combo->ResetContent(), ref.ResetContent(); break;
            case 'S': combo->SetCurSel(op.index), ref.SetCurSel(op.index); break;
            }
        }
        EXPECT_EQ(combo->findChild<CDropWnd *>(), nullptr) << "nothing asked for the popup yet";
        EXPECT_EQ(combo->GetCurSel(), ref.GetCurSel());
        const int height = combo->DropRect().height();
        EXPECT_EQ(height, ref.DropHeight(CComBoxBtn::kDropMaxHeight));

        CDropListBox *list = combo->List();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(combo->DropRect().height(), height);
        EXPECT_EQ(list->GetItemHeight(), ref.GetItemHeight());
        EXPECT_EQ(list->GetCurSel(), ref.GetCurSel());
        EXPECT_EQ(list->selectedItems().size(), ref.selectedItems().size());
        EXPECT_EQ(list->GroupCount(), ref.GroupCount());
        EXPECT_EQ(list->GetSavedSel(), 0);
        ASSERT_EQ(list->GetCount(), ref.GetCount());
        for (int i = 0; i < ref.GetCount(); ++i)
            EXPECT_EQ(list->GetText(i), ref.GetText(i));
    }
}

// A popup made with its list took every change of the button's enabled state; one made later
// must end in the same state, and still follow the button afterwards.
TEST(ComBoxBtn, ListMadeLateTakesTheEnabledStateOfOneMadeEarly)
{
    RecordingPage page;
    auto *combo = new CComBoxBtn(&page);
    auto *drop = new CDropBtn(&page);
    combo->CreateDropList(&page, 1);
    drop->Setup("Pick", 0, 0, 0, 0, 0, 2);
    page.setEnabled(false);
    for (CDropWnd *w : {combo->DropWnd(), drop->DropWnd()})
        EXPECT_FALSE(w->List()->isEnabled());
    page.setEnabled(true);
    for (CDropWnd *w : {combo->DropWnd(), drop->DropWnd()})
        EXPECT_TRUE(w->List()->isEnabled());

    // A popup is made enabled under a disabled button, and stays so until the button changes.
    auto *disabled = new CComBoxBtn(&page);
    disabled->setEnabled(false);
    disabled->CreateDropList(&page, 3);
    EXPECT_TRUE(disabled->DropWnd()->isEnabled());
}

TEST(ComBoxBtn, WheelAndPickBeforeTheListIsMade)
{
    ComboPage page(4);
    page.Clear();
    page.Wheel(-120);
    EXPECT_EQ(page.combo->text(), "Item 1");
    EXPECT_EQ(page.combo->findChild<CDropWnd *>(), nullptr);
    // The first click makes the list and opens it on the item the wheel chose.
    QTest::mouseClick(page.combo, Qt::LeftButton, {}, QPoint(10, 10));
    CDropWnd *drop = page.combo->DropWnd();
    ASSERT_TRUE(drop->IsShown());
    EXPECT_EQ(page.combo->List()->GetCurSel(), 1);
    drop->Hide();
    EXPECT_EQ(page.combo->GetCurSel(), 0) << "no pick yet: the saved first item comes back";
    ASSERT_EQ(page.Of(WM_COMBOXBTN_SELECT).size(), 1u);
}

TEST(ComBoxBtn, PickShowsTheItemThenPosts)
{
    ComboPage page(4);
    page.Clear();
    page.combo->OpenList();
    ASSERT_TRUE(page.combo->DropWnd()->IsShown());
    CDropListBox *list = page.combo->List();
    const QRect item2 = list->visualItemRect(list->item(2));
    QTest::mouseMove(list->viewport(), item2.center());
    EXPECT_EQ(list->GetCurSel(), 2);  // hover selects
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item2.center());
    EXPECT_FALSE(page.combo->DropWnd()->IsShown());
    EXPECT_EQ(page.combo->text(), "Item 2");  // shown before the page hears of it
    ASSERT_EQ(page.Of(WM_COMBOXBTN_SELECT).size(), 1u);
    EXPECT_EQ(page.Of(WM_COMBOXBTN_SELECT)[0], (RecordedMessage{WM_COMBOXBTN_SELECT, 77, 2}));
    EXPECT_EQ(list->GetSavedSel(), 2);
}

TEST(ComBoxBtn, CloseWithoutPickRestoresTheLastPickedItem)
{
    ComboPage page(5);
    CDropListBox *list = page.combo->List();
    auto pick = [&](int i) {
        page.combo->OpenList();
        const QPoint at = list->visualItemRect(list->item(i)).center();
        QTest::mouseMove(list->viewport(), at);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    };
    pick(2);
    page.Clear();
    page.combo->SetCurSel(3);  // the owner shows another item: the saved selection stays
    EXPECT_EQ(list->GetSavedSel(), 2);
    EXPECT_EQ(page.combo->GetCurSel(), 3);
    page.combo->OpenList();
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(list->GetCurSel(), 1);
    page.combo->DropWnd()->Hide();  // dismissed: clicked elsewhere
    EXPECT_EQ(list->GetCurSel(), 2) << "the last picked index comes back";
    EXPECT_EQ(page.combo->text(), "Item 3") << "the text stays on the owner's item";
    EXPECT_TRUE(page.Of(WM_COMBOXBTN_SELECT).empty());
}

TEST(ComBoxBtn, ClickOnTheButtonOfAnOpenListClosesIt)
{
    // The open popup holds the mouse, so the press reaches it first; it must not come back to
    // the button as a new press that opens the list again.
    ComboPage page(4);
    QTest::mouseClick(page.combo, Qt::LeftButton, {}, QPoint(10, 10));
    CDropWnd *drop = page.combo->DropWnd();
    ASSERT_TRUE(drop->IsShown());
    const QPoint onButton = drop->mapFromGlobal(page.combo->mapToGlobal(QPoint(10, 10)));
    QTest::mouseClick(drop, Qt::LeftButton, {}, onButton);
    EXPECT_FALSE(drop->IsShown());

    // A press elsewhere on the page closes the list too, and the next click opens it again.
    QTest::mouseClick(page.combo, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(drop->IsShown());
    QTest::mouseClick(drop, Qt::LeftButton, {}, drop->mapFromGlobal(page.mapToGlobal(QPoint(300, 250))));
    EXPECT_FALSE(drop->IsShown());
    QTest::mouseClick(page.combo, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(drop->IsShown());
    drop->Hide();
}

TEST(ComBoxBtn, WheelSteps)
{
    ComboPage page(3);
    page.Clear();
    page.Wheel(-40);
    page.Wheel(-40);
    EXPECT_EQ(page.combo->GetCurSel(), 0);
    page.Wheel(-40);  // the third small step completes a notch
    EXPECT_EQ(page.combo->GetCurSel(), 1);
    page.Wheel(-360);  // a big delta moves one item only
    EXPECT_EQ(page.combo->GetCurSel(), 2);
    page.Wheel(-120);  // at the last item the same index is posted again
    EXPECT_EQ(page.combo->GetCurSel(), 2);
    page.Wheel(120);
    EXPECT_EQ(page.combo->GetCurSel(), 1);
    EXPECT_EQ(page.combo->text(), "Item 1");
    const auto sel = page.Of(WM_COMBOXBTN_SELECT);
    ASSERT_EQ(sel.size(), 4u);
    EXPECT_EQ(sel[2].lParam, 2);
    EXPECT_EQ(sel[3].lParam, 1);

    ComboPage empty(0);
    empty.Clear();
    empty.Wheel(-120);
    EXPECT_TRUE(empty.Of(WM_COMBOXBTN_SELECT).empty());
}

TEST(DropListBox, GroupsAndSeparators)
{
    QtTestApp();
    CDropListBox list;
    EXPECT_EQ(list.AddGroupItem("Inputs", 1, RGB(200, 200, 0), RGB(255, 255, 255)), 0);
    list.AddGroupItem("AUX", 1, RGB(255, 255, 255), RGB(255, 255, 255));
    list.AddGroupItem("USB", 1, RGB(255, 255, 255), RGB(255, 255, 255));
    EXPECT_EQ(list.AddGroupItem("far", 3, 0, 0), -1);
    list.AddGroupItem("Outputs", 2, RGB(200, 200, 0), RGB(255, 255, 255));
    list.AddGroupItem("Line", 2, RGB(255, 255, 255), RGB(255, 255, 255));
    EXPECT_TRUE(list.Record(0)->separator);
    EXPECT_FALSE(list.Record(1)->separator);
    EXPECT_EQ(list.GroupCount(), 2);
    EXPECT_EQ(list.DeleteItem(0), 2);  // a separator takes its group along
    EXPECT_EQ(list.GetText(0), "Outputs");
    EXPECT_EQ(list.GroupCount(), 1);
    EXPECT_EQ(list.DeleteItem(7), -1);
}

TEST(ComBoxBtn, TheOpenListShowsTheUnderscoresOfItsItems)
{
    RecordingPage page;
    auto *combo = new CComBoxBtn(&page);
    combo->setGeometry(20, 20, 120, 24);
    page.show();
    ASSERT_EQ(combo->CreateDropList(&page, 77), 1);
    // Rows of an underscore only: all they show lies below the baseline.
    for (int i = 0; i < 3; ++i)
        combo->AddString(QStringLiteral("_"));
    combo->AddString(QStringLiteral("Link_Ril"));
    combo->SetCurSel(0);
    combo->OpenList();
    CDropListBox *list = combo->List();
    ASSERT_TRUE(WaitUntil([&] { return list->isVisible(); }, 5000));
    const QImage shot = list->grab().toImage();
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const QRect r = list->visualItemRect(list->item(row)).intersected(shot.rect());
        bool lit = false;  // white text on the dark ground or the selection colour
        for (int y = r.top(); y <= r.bottom() && !lit; ++y)
            for (int x = r.left(); x <= r.right() && !lit; ++x)
                lit = qGray(shot.pixel(x, y)) > 180;
        EXPECT_TRUE(lit);
    }
    combo->DropWnd()->Hide();
}

TEST(DropBtn, HeightArrowAndPick)
{
    RecordingPage page;
    auto *btn = new CDropBtn(&page);
    btn->setGeometry(10, 10, 150, 24);
    page.show();
    ASSERT_EQ(btn->Setup("Pick", 0, 0, 0, 0, 5, 88), 1);
    const int h = btn->List()->GetItemHeight();
    for (int i = 0; i < 3; ++i)
        btn->List()->AddItem(QStringLiteral("Row %1").arg(i));
    EXPECT_EQ(btn->DropRect().height(), 3 * h);
    for (int i = 3; i < 20; ++i)
        btn->List()->AddItem(QStringLiteral("Row %1").arg(i));
    EXPECT_EQ(btn->DropRect().height(), std::min(100, 20 * h));

    const QPolygon tri = CDropBtn::ArrowPolygon(QRect(0, 0, 150, 24), 10, 16, 16);
    EXPECT_EQ(tri.boundingRect().width(), 10);
    EXPECT_EQ(tri.boundingRect().height(), 6);  // 5 pixels down from the top edge, both ends drawn
    EXPECT_EQ(150 - tri.boundingRect().left(), 15);

    page.Clear();
    btn->OpenList();
    CDropListBox *list = btn->List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(btn->text(), "Row 1");
    ASSERT_EQ(page.Of(WM_COMBOXBTN_SELECT).size(), 1u);
    EXPECT_EQ(page.Of(WM_COMBOXBTN_SELECT)[0], (RecordedMessage{WM_COMBOXBTN_SELECT, 88, 1}));
}

TEST(DropBtn, ListMadeLateKeepsTheFirstFont)
{
    RecordingPage page;
    auto *btn = new CDropBtn(&page);
    btn->setGeometry(10, 10, 150, 24);
    page.show();
    const QFont first = MakeFont(QStringLiteral("Arial"), 22, 700);
    const QFont second = MakeFont(QStringLiteral("Arial"), 11);
    ASSERT_EQ(btn->Setup("Pick", 0, 0, 0, 0, 5, 88, CDropBtn::kDefault, CDropBtn::kDefault, CDropBtn::kDefault,
                         CDropBtn::kDefault, &first),
              1);
    btn->Setup("Pick", 0, 0, 0, 0, 5, 88, CDropBtn::kDefault, CDropBtn::kDefault, CDropBtn::kDefault, CDropBtn::kDefault,
               &second);
    EXPECT_EQ(btn->findChild<CDropWnd *>(), nullptr);
    EXPECT_EQ(btn->DropRect().height(), CDropBtn::kDropMaxHeight);
    CDropListBox ref;
    ref.SetListFont(first);
    ASSERT_NE(btn->List(), nullptr);
    EXPECT_EQ(btn->List()->GetItemHeight(), ref.GetItemHeight());
    EXPECT_EQ(btn->List()->GetItemHeight(), CDropListBox::ItemHeightFor(first));
}

TEST(DropBtn, ListFollowsTheMouse)
{
    RecordingPage page;
    auto *btn = new CDropBtn(&page);
    btn->setGeometry(10, 10, 150, 24);
    page.show();
    ASSERT_EQ(btn->Setup("Pick", 0, 0, 0, 0, 5, 88), 1);
    for (int i = 0; i < 3; ++i)
        btn->List()->AddItem(QStringLiteral("Row %1").arg(i));
    CDropWnd *drop = btn->DropWnd();
    const auto moveTo = [&](QPoint onPage) { QTest::mouseMove(drop, drop->mapFromGlobal(page.mapToGlobal(onPage))); };

    btn->OpenList();
    ASSERT_TRUE(drop->IsShown());
    moveTo(QPoint(20, 20));  // over the button
    EXPECT_TRUE(drop->IsShown());
    QTest::mouseMove(btn->List()->viewport(), btn->List()->visualItemRect(btn->List()->item(2)).center());
    EXPECT_TRUE(drop->IsShown());  // into the list
    EXPECT_EQ(btn->List()->GetCurSel(), 2);
    moveTo(QPoint(300, 250));  // outside both
    EXPECT_FALSE(drop->IsShown());
    EXPECT_FALSE(btn->IsHover());
    EXPECT_TRUE(page.Of(WM_COMBOXBTN_SELECT).empty());
}

}  // namespace
