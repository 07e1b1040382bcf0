// The grid on paper and in text files: the pages a print run makes, a printed PDF, the page
// footer, and the comma-separated file written and read back, with its errors.

#include "grid/GridCtrl.h"
#include "grid/GridTextFile.h"
#include "grid/GridTextLines.h"
#include "platform/GlobalData.h"
#include "platform/qt/QtGlobals.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include "tests/grid/GridOwner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace {

std::string ReadAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), std::size_t(b.size()));
}

class CGridModelOf : public CGridModel {
public:
    CGridModelOf(int rows, int cols, int fixedRows, int height)
    {
        SetRowCount(rows);
        SetColumnCount(cols);
        SetFixedRowCount(fixedRows);
        for (int r = 0; r < rows; ++r)
            SetRowHeight(r, height);
    }
};

TEST(GridPrint, PagesStartWhereTheRowsPassThePageHeight)
{
    GridAppFirst app;
    // 40 rows of 20 pixels under one fixed row, 300 pixels a page: 15 rows on each full page.
    EXPECT_EQ(GridGeometry::PrintPageStarts(CGridModelOf(40, 2, 1, 20), 300), (std::vector<int>{1, 16, 31}));
    EXPECT_EQ(GridGeometry::PrintPageStarts(CGridModelOf(16, 2, 1, 20), 300), (std::vector<int>{1}));
    EXPECT_EQ(GridGeometry::PrintPageStarts(CGridModelOf(3, 2, 3, 20), 300), (std::vector<int>{3}))
        << "headings only: one page";
    // A row taller than a page gets a page of its own, and the run stays bounded.
    CGridModelOf tall(5, 1, 1, 20);
    tall.SetRowHeight(2, 900);
    EXPECT_EQ(GridGeometry::PrintPageStarts(tall, 300), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(GridGeometry::PrintPageStarts(CGridModelOf(4, 1, 1, 20), -5), (std::vector<int>{1, 2, 3}));
}

// A grid that notes the pages it prints and the page texts of their footers.
class PrintingGrid : public CGridCtrl {
public:
    using CGridCtrl::CGridCtrl;
    void OnPrint(QPainter &p, CPrintInfo &info) override
    {
        pages.push_back(info.curPage);
        CGridCtrl::OnPrint(p, info);
        if (info.curPage == 1) {  // the first page once more, onto an A4 picture
            firstPage = QImage(794, 1123, QImage::Format_RGB32);
            firstPage.fill(Qt::white);
            QPainter q(&firstPage);
            imaging = true;
            CGridCtrl::OnPrint(q, info);
            imaging = false;
        }
    }
    QImage firstPage;
    bool imaging = false;
    void PrintPageFooter(QPainter &p, CPrintInfo &info) override
    {
        if (!imaging)
            footers.push_back(PrintPageNumberText(info.curPage, info.maxPage));
        CGridCtrl::PrintPageFooter(p, info);
    }
    std::vector<int> pages;
    QStringList footers;
};

TEST(GridPrint, AGridPrintsToAPdfPageByPage)
{
    GridAppFirst app;
    QWidget owner;
    owner.setWindowTitle("Machine presets");
    PrintingGrid grid(120, 3, 1, 1);
    grid.Create(QRect(0, 0, 300, 200), &owner, 5, 0);
    for (int r = 0; r < 120; ++r) {
        grid.SetRowHeight(r, 20);
        for (int c = 0; c < 3; ++c)
            grid.SetItemText(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
    }
    grid.SetSelectedRange(1, 1, 5, 2);
    grid.SetFocusCell(2, 1);

    QTemporaryDir dir;
    const QString pdf = dir.filePath("grid.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(grid.PrintTo(printer));
    EXPECT_FALSE(grid.IsPrinting());
    EXPECT_EQ(ReadAll(pdf).substr(0, 5), "%PDF-");
    ASSERT_GE(grid.pages.size(), 2u) << "120 rows need more than one page";
    for (std::size_t i = 0; i < grid.pages.size(); ++i)
        EXPECT_EQ(grid.pages[i], int(i) + 1);
    ASSERT_EQ(grid.footers.size(), grid.pages.size());
    EXPECT_EQ(grid.footers[1], QStringLiteral("Page 2 of %1").arg(grid.pages.size()));

    // On paper: no selection highlight and none of the console's dark cell colour, but black text.
    const QRgb highlight = grid.palette().color(QPalette::Highlight).rgb();
    const QRgb consoleBk = QColor::fromRgb(GetRValue(grid.GetTextBkColor()), GetGValue(grid.GetTextBkColor()),
                                           GetBValue(grid.GetTextBkColor()))
                               .rgb();
    int dark = 0, highlighted = 0, console = 0;
    for (int y = 0; y < grid.firstPage.height(); ++y)
        for (int x = 0; x < grid.firstPage.width(); ++x) {
            const QRgb px = grid.firstPage.pixel(x, y);
            dark += qGray(px) < 60;
            highlighted += px == highlight;
            console += consoleBk != qRgb(255, 255, 255) && px == consoleBk;
        }
    EXPECT_GT(dark, 1000);
    EXPECT_EQ(highlighted, 0);
    EXPECT_EQ(console, 0);

    // A grid of headings alone prints one page, without a footer.
    PrintingGrid headings(1, 3, 1, 1);
    headings.Create(QRect(0, 0, 300, 200), &owner, 6, 0);
    QPrinter again;
    again.setOutputFormat(QPrinter::PdfFormat);
    again.setOutputFileName(dir.filePath("headings.pdf"));
    EXPECT_TRUE(headings.PrintTo(again));
    EXPECT_EQ(headings.pages, (std::vector<int>{1}));
    EXPECT_TRUE(headings.footers.isEmpty());
}

TEST(GridPrint, ThePageNumberInBothLanguages)
{
    GridAppFirst app;
    g_bChinese = 0;
    EXPECT_EQ(CGridCtrl::PrintPageNumberText(2, 3), "Page 2 of 3");
    g_bChinese = 1;
    EXPECT_EQ(CGridCtrl::PrintPageNumberText(2, 3), QStringLiteral("第 2 页，共 3 页"));
    g_bChinese = 0;
}

TEST(GridTextFile, LinesAndFieldsAsTheFileHasThem)
{
    const struct {
        const char *bytes;
        std::vector<QStringList> lines;
    } cases[] = {
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}},   // the last line without its line feed is whole
        {"a,b,\n", {{"a", "b", ""}}},             // a final comma before a line feed: one more field
        {"a,b,", {{"a", "b"}}},                   // ... but not at the very end
        {"h\n\nx", {{"h"}, {""}, {"x"}}},         // a blank line is a row of empty texts
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseGridTextFile(c.bytes), c.lines) << c.bytes;
    EXPECT_EQ(ParseGridTextFile("\xD6\xD0,\xCE\xC4\r\n"), (std::vector<QStringList>{{QStringLiteral("中"), QStringLiteral("文")}}))
        << "GBK bytes";
    EXPECT_EQ(ParseGridTextFile("\xD6\xD0\xCE,x\n"), (std::vector<QStringList>{{QStringLiteral("中\uFFFD"), "x"}}))
        << "a lead byte before a comma";
    const std::string longName(3000, 'n');
    EXPECT_EQ(ParseGridTextFile("a," + longName + "\r\nb,c\r\n"),
              (std::vector<QStringList>{{"a", QString::fromStdString(longName)}, {"b", "c"}}))
        << "a long line stays one line";
}

TEST(GridTextFile, AGridOfAtMostTheCellBoundIsRead)
{
    // Two columns: a row of two cells per line, up to the bound and not one line beyond.
    std::string lines;
    for (std::size_t i = 0; i < gridtext::kMaxCells / 2; ++i)
        lines += "a,b,c\r\n";  // 7 bytes; the third field is beyond the columns: dropped, not counted
    const auto parsed = gridtext::Parse("h1,h2\r\n" + lines.substr(7));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->size(), gridtext::kMaxCells / 2);
    EXPECT_EQ(parsed->back(), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(gridtext::Parse("h1,h2\r\n" + lines).has_value()) << "one line more";
}

// A 3 x 2 grid holding "keep" in a cell, with its message boxes recorded: a refused load or
// save must leave it as it is and say why.
struct KeptGrid : ::testing::Test {
    GridAppFirst app;
    CScriptedMessageBox boxes;
    ScopedMessageBoxService installed{boxes};
    QWidget owner;
    CGridCtrl grid{3, 2, 1, 1};
    QTemporaryDir dir;
    KeptGrid()
    {
        grid.Create(QRect(0, 0, 300, 200), &owner, 5, 0);
        grid.SetItemText(1, 1, "keep");
    }
};

TEST_F(KeptGrid, AFileLargerThanAGridShowsIsRefusedAndChangesNothing)
{
    std::string thousandFields;
    for (int i = 0; i < 1000; ++i)
        thousandFields += i ? ",f" : "f";
    const struct {
        const char *name;
        std::string bytes;
    } cases[] = {
        // 21 KB that would make 20 million cells
        {"a thousand columns over twenty thousand blank lines", thousandFields + "\r\n" + std::string(20000, '\n')},
        {"more columns than the cells a grid holds", std::string(gridtext::kMaxCells, ',') + "\r\n"},
        {"more bytes than a grid shows", std::string(gridtext::kMaxFileBytes + 1, 'x')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("big.csv");
        {
            std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
            out << c.bytes;
        }
        EXPECT_FALSE(grid.LoadFromFile(path.toStdString()));
        EXPECT_EQ(grid.GetRowCount(), 3);
        EXPECT_EQ(grid.GetColumnCount(), 2);
        EXPECT_EQ(grid.GetFixedRowCount(), 1);
        EXPECT_EQ(grid.GetItemText(1, 1), "keep");
        const auto shown = boxes.Shown();
        ASSERT_FALSE(shown.empty());
        EXPECT_NE(shown.back().text.find("An error occurred while reading"), std::string::npos) << shown.back().text;
    }
    EXPECT_EQ(boxes.Shown().size(), std::size(cases));
}

TEST(GridTextFile, SavedGridsLoadBack)
{
    GridAppFirst app;
    QWidget owner;
    CGridCtrl grid(3, 2, 1, 1);
    grid.Create(QRect(0, 0, 300, 200), &owner, 5, 0);
    grid.SetItemText(0, 0, "No.");
    grid.SetItemText(0, 1, "Name");
    grid.SetItemText(1, 0, "1");
    grid.SetItemText(1, 1, QStringLiteral("夜间"));
    grid.SetItemText(2, 0, "2");
    grid.SetItemText(2, 1, "Rock, loud");

    QTemporaryDir dir;
    const QString path = dir.filePath("grid.csv");
    ASSERT_TRUE(grid.SaveToFile(path.toStdString()));
    EXPECT_EQ(ReadAll(path), "No.,Name\r\n1,\xD2\xB9\xBC\xE4\r\n2,Rock, loud\r\n");

    CGridCtrl loaded(4, 4, 2, 2);
    loaded.Create(QRect(0, 0, 300, 200), &owner, 6, 0);
    ASSERT_TRUE(loaded.LoadFromFile(path.toStdString()));
    EXPECT_EQ(loaded.GetColumnCount(), 2);
    EXPECT_EQ(loaded.GetRowCount(), 3);
    EXPECT_EQ(loaded.GetFixedRowCount(), 0);
    EXPECT_EQ(loaded.GetFixedColumnCount(), 0);
    EXPECT_EQ(loaded.GetItemText(0, 1), "Name");
    EXPECT_EQ(loaded.GetItemText(1, 1), QStringLiteral("夜间"));
    EXPECT_EQ(loaded.GetItemText(2, 1), "Rock") << "a comma splits a text; the part beyond the columns is dropped";
    EXPECT_EQ(loaded.GetItemFormat(1, 1), 0x25u);
    EXPECT_EQ(loaded.GetColumnWidth(1), std::max(loaded.GetCellExtent(0, 1).cx, loaded.GetCellExtent(1, 1).cx))
        << "columns sized to their texts";
}

TEST_F(KeptGrid, FileErrorsAreReportedAndChangeNothing)
{
    EXPECT_FALSE(grid.LoadFromFile(dir.filePath("missing.csv").toStdString()));
    EXPECT_FALSE(grid.LoadFromFile(dir.path().toStdString())) << "a folder";
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.GetItemText(1, 1), "keep");

    EXPECT_FALSE(grid.SaveToFile(dir.filePath("no/such/folder/grid.csv").toStdString()));
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
    const auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_NE(shown[0].text.find("missing.csv was not found"), std::string::npos) << shown[0].text;
    EXPECT_NE(shown[1].text.find("not a readable text file"), std::string::npos) << shown[1].text;
    EXPECT_NE(shown[2].text.find("was not found"), std::string::npos) << shown[2].text;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{}) << "no temporary file left";
}

}  // namespace
