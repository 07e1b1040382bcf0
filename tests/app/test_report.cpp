// The parameter report: its rows from the records, the dialog, the workbook it exports (read back
// from the zip) and the ruled table it prints into a PDF file.
#include "app/DataViewDlg.h"
#include "app/ListCtrlPrint.h"
#include "app/ReportTable.h"

#include "controls/ListCtrlCl.h"
#include "model/Filter.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "platform/GlobalData.h"
#include "platform/qt/Language.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidgetItem>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ---- a zip reader for the workbook: every entry's name and inflated bytes --------------------

std::uint32_t U32(const QByteArray &b, qsizetype at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint16_t U16(const QByteArray &b, qsizetype at)
{
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

std::map<std::string, std::string> ReadZip(const QByteArray &zip)
{
    std::map<std::string, std::string> entries;
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return entries;
    const int count = U16(zip, end + 10);
    qsizetype at = U32(zip, end + 16);
    for (int i = 0; i < count && at + 46 <= zip.size() && U32(zip, at) == 0x02014b50; ++i) {
        const int method = U16(zip, at + 10);
        const std::uint32_t packed = U32(zip, at + 20), size = U32(zip, at + 24);
        const int nameLen = U16(zip, at + 28), extraLen = U16(zip, at + 30), commentLen = U16(zip, at + 32);
        const qsizetype local = U32(zip, at + 42);
        const std::string name = zip.mid(at + 46, nameLen).toStdString();
        const qsizetype data = local + 30 + U16(zip, local + 26) + U16(zip, local + 28);
        std::string out(size, '\0');
        if (method == 0) {
            out = zip.mid(data, packed).toStdString();
        } else {
            z_stream z{};
            inflateInit2(&z, -MAX_WBITS);
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef *>(out.data());
            z.avail_out = size;
            inflate(&z, Z_FINISH);
            inflateEnd(&z);
        }
        entries[name] = out;
        at += 46 + nameLen + extraLen + commentLen;
    }
    return entries;
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The page count a PDF file declares.
int PdfPageCount(const QString &path)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("/Type\\s*/Pages\\b[^>]*?/Count\\s+(\\d+)")).match(QString::fromLatin1(ReadAll(path)));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Prints into a PDF file instead of showing the print dialog; counts the dialogs it answered.
struct PdfDialog {
    QString file;
    int fromPage = 0, toPage = 0;
    int shown = 0;
    int pageWidth = 0;  // the printable width, in the printer's units
    int dpi = 0;
    CPrinterJob::PrintDialog Hook()
    {
        return [this](QPrinter &printer, int, int) {
            ++shown;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setPageSize(QPageSize(QPageSize::A4));
            if (fromPage > 0) {
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(fromPage, toPage);
            }
            pageWidth = printer.width();
            dpi = printer.logicalDpiX();
            return true;
        };
    }
};

class Report : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtTestApp();
        SetUiLanguage(false);
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { SetUiLanguage(false); }

    QString Path(const QString &name) const { return m_dir.filePath(name); }
    QStringList FilesIn(const QString &folder) const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_dir;
    CKTV_Data m_tree;
};

}  // namespace

// ---- rows from the records --------------------------------------------------------------------

TEST_F(Report, RowLabelsKeepOneLayoutInBothLanguages)
{
    const auto en = report::RowLabels(false), zh = report::RowLabels(true);
    ASSERT_EQ(en.size(), 174u);
    ASSERT_EQ(zh.size(), 174u);
    const struct {
        int row;
        const char *en, *zh;
    } cases[] = {
        {0, "EQ1 Type", "均衡1类型"},  {3, "EQ1 Q", "均衡1Q值"},        {4, "", ""},
        {12, "EQ3 Freq", "均衡3频率"}, {71, "EQ15Gain", "均衡15增益"},  {72, "EQ15req", "均衡15频率"},
        {76, "EQ16 Gain", "均衡16增益"}, {153, "EQ31Q", "均衡31Q值"},   {154, "", ""},
        {155, "HPF_Type", "低切类型"}, {157, "HPF_Oct", "低切斜率"},    {158, "", ""},
        {159, "LPF_Type", "高切类型"}, {163, "POL", "相  位"},          {166, "IN L", "输入左"},
        {168, "Mute", "静  音"},       {171, "Attach", "响应时间"},     {172, "Release", "释放时间"},
        {173, "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(en[c.row], c.en) << c.row;
        EXPECT_EQ(zh[c.row], c.zh) << c.row;
    }
}

TEST_F(Report, CellsShowEachOutputsRecordsInItsColumn)
{
    CKTV_Data &tree = m_tree;
    CKTV_OutData &out = *tree.GetOut(2);
    out.GetBand(0)->SetType(CFilter::kTypePeq);
    out.GetBand(0)->SetGainCode(260);  // +6 dB
    out.GetBand(4)->SetType(CFilter::kTypeLowShelf);
    out.SetPolarity(1);
    out.SetOn(0);

    const auto cells = report::Cells(tree);
    ASSERT_EQ(cells.size(), 174u);
    for (const auto &row : cells)
        ASSERT_EQ(row.size(), 9u);
    EXPECT_EQ(cells[163][0], "POL");
    const auto col = [&](int row) { return cells[static_cast<std::size_t>(row)][3]; };
    const CFilter &peq = *out.GetBand(0), &shelf = *out.GetBand(4);
    EXPECT_EQ(col(0), "PEQ");
    EXPECT_EQ(col(1), "6.0dB");
    EXPECT_EQ(col(2), peq.GetFreqText());
    EXPECT_EQ(col(3), peq.GetQText());  // a peaking band: its Q
    EXPECT_EQ(col(4), "");
    EXPECT_EQ(col(20), "Lo_Shf");
    EXPECT_EQ(col(23), shelf.GetShelfSlopeText());  // a shelf: its slope
    EXPECT_EQ(col(report::HpfType), out.GetHpf()->GetFamilyText());
    EXPECT_EQ(col(report::HpfFreq), out.GetHpf()->GetFreqText());
    EXPECT_EQ(col(report::LpfSlope), out.GetLpf()->GetSlopeText());
    EXPECT_EQ(col(report::Polarity), "Pol-");
    EXPECT_EQ(col(report::Delay), out.GetDelayText());
    EXPECT_EQ(col(report::Gain), out.GetGainText());
    EXPECT_EQ(col(report::InLeft), out.GetMix0Text());
    EXPECT_EQ(col(report::Mute), "OFF");
    EXPECT_EQ(col(report::Release), out.GetReleaseText());
    // The other outputs keep their own values.
    EXPECT_EQ(cells[report::Polarity][2], "Pol+");
    EXPECT_EQ(cells[report::Mute][8], tree.GetOut(7)->GetOnText());
}

// ---- the dialog -------------------------------------------------------------------------------

TEST_F(Report, DialogOpensFilledAndFollowsTheLanguage)
{
    CDataViewDlg dlg;
    dlg.m_pKTVData = &m_tree;
    dlg.InitDialog();
    CListCtrlCl &list = dlg.List();
    ASSERT_EQ(list.rowCount(), 174);
    ASSERT_EQ(list.columnCount(), 9);
    EXPECT_EQ(list.horizontalHeaderItem(0)->text(), QStringLiteral("Args"));
    EXPECT_EQ(list.horizontalHeaderItem(8)->text(), QStringLiteral("CH8"));
    EXPECT_EQ(list.GetItemText(155, 0), QStringLiteral("HPF_Type"));
    EXPECT_EQ(list.GetItemText(report::Polarity, 1), QString::fromStdString(m_tree.GetOut(0)->GetPolarityText()));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Report"));
    // The dividers cannot be dragged.
    EXPECT_EQ(list.horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    SetUiLanguage(true);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("参数值显示"));
    EXPECT_EQ(dlg.ExportButton()->text(), QStringLiteral("导出Excel"));
    EXPECT_EQ(list.rowCount(), 174);
    EXPECT_EQ(list.horizontalHeaderItem(0)->text(), QStringLiteral("参数"));
    EXPECT_EQ(list.GetItemText(163, 0), QStringLiteral("相  位"));
    EXPECT_EQ(list.GetItemText(report::Polarity, 1), QStringLiteral("正相"));
}

TEST_F(Report, WithoutRecordsTheListStaysEmptyAndPrintAndExportDoNothing)
{
    CDataViewDlg dlg;
    dlg.InitDialog();
    int asked = 0;
    dlg.SetFileChooser([&](const QString &, const QString &) { ++asked; return Path(QStringLiteral("x.xlsx")); });
    PdfDialog pdf{Path(QStringLiteral("x.pdf"))};
    dlg.SetPrintDialog(pdf.Hook());
    EXPECT_EQ(dlg.List().rowCount(), 0);
    dlg.ExportButton()->click();
    dlg.PrintButton()->click();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(pdf.shown, 0);
    EXPECT_TRUE(FilesIn(m_dir.path()).isEmpty());
}

// ---- the Excel export -------------------------------------------------------------------------

TEST_F(Report, ExportWritesAWorkbookWithOneTextSheetNamedTQ900)
{
    CDataViewDlg dlg;
    dlg.m_pKTVData = &m_tree;
    dlg.InitDialog();
    QString offeredFolder, offeredName;
    dlg.SetFileChooser([&](const QString &folder, const QString &name) {
        offeredFolder = folder;
        offeredName = name;
        return Path(QStringLiteral("sub/report"));  // no extension, in a folder not made yet
    });
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped(boxes);
    g_nViewMode = 1;
    dlg.ExportButton()->click();

    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_TRUE(offeredFolder.endsWith(QStringLiteral("/MusicFile/TQ900"))) << offeredFolder.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\.xlsx$")).match(offeredName).hasMatch());
    const QString file = Path(QStringLiteral("sub/report.xlsx"));
    const QByteArray bytes = ReadAll(file);
    ASSERT_TRUE(bytes.startsWith("PK"));
    EXPECT_EQ(FilesIn(Path(QStringLiteral("sub"))), QStringList{QStringLiteral("report.xlsx")});  // no temporary left

    const auto zip = ReadZip(bytes);
    ASSERT_TRUE(zip.count("xl/workbook.xml"));
    ASSERT_TRUE(zip.count("xl/sharedStrings.xml"));
    ASSERT_TRUE(zip.count("xl/worksheets/sheet1.xml"));
    EXPECT_FALSE(zip.count("xl/worksheets/sheet2.xml"));
    EXPECT_NE(zip.at("xl/workbook.xml").find("name=\"TQ900\""), std::string::npos);
    const std::string &strings = zip.at("xl/sharedStrings.xml");
    for (const char *text : {"Args", "CH1", "CH8", "EQ1 Type", "EQ15req", "HPF_Type", "Attach", "Pol+"})
        EXPECT_NE(strings.find(std::string("<t>") + text + "</t>"), std::string::npos) << text;
    // Row 1 holds the column names; the list's rows follow down to the release row (174), CH8's
    // attack time in I173. The blank rows stay blank.
    const std::string &sheet = zip.at("xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<c r=\"A1\" t=\"s\">"), std::string::npos);
    EXPECT_NE(sheet.find("<c r=\"A2\" t=\"s\">"), std::string::npos);
    EXPECT_NE(sheet.find("<c r=\"I173\" t=\"s\">"), std::string::npos);
    EXPECT_NE(sheet.find("<c r=\"A174\" t=\"s\">"), std::string::npos);
    EXPECT_EQ(sheet.find("r=\"A6\""), std::string::npos);
    EXPECT_EQ(sheet.find("r=\"A175\""), std::string::npos);
}

TEST_F(Report, ExportReplacesAnOldFileAndStopsOnCancelOrAnotherViewMode)
{
    CDataViewDlg dlg;
    dlg.m_pKTVData = &m_tree;
    dlg.InitDialog();
    const QString file = Path(QStringLiteral("old.xlsx"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QString answer;
    int asked = 0;
    dlg.SetFileChooser([&](const QString &, const QString &) { ++asked; return answer; });

    g_nViewMode = 3;
    dlg.OnExportExcel();
    EXPECT_EQ(asked, 0);
    g_nViewMode = 2;
    dlg.OnExportExcel();  // cancelled
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadAll(file), QByteArray("old"));
    answer = file;
    dlg.OnExportExcel();
    EXPECT_TRUE(ReadAll(file).startsWith("PK"));
    EXPECT_EQ(FilesIn(m_dir.path()), QStringList{QStringLiteral("old.xlsx")});
    g_nViewMode = 1;
}

TEST_F(Report, AFailedExportShowsWhyAndLeavesNothingBehind)
{
    CDataViewDlg dlg;
    dlg.m_pKTVData = &m_tree;
    dlg.InitDialog();
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped(boxes);

    // A folder stands where the workbook should go.
    const QString folderInTheWay = Path(QStringLiteral("taken.xlsx"));
    ASSERT_TRUE(QDir().mkpath(folderInTheWay));
    dlg.SetFileChooser([&](const QString &, const QString &) { return folderInTheWay; });
    dlg.OnExportExcel();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("taken.xlsx"), std::string::npos) << boxes.Shown()[0].text;
    EXPECT_TRUE(QFileInfo(folderInTheWay).isDir());
    EXPECT_TRUE(FilesIn(m_dir.path()).isEmpty());
}

TEST_F(Report, AnExportIntoAReadOnlyFolderShowsTheError)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    CDataViewDlg dlg;
    dlg.m_pKTVData = &m_tree;
    dlg.InitDialog();
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped(boxes);
    const QString locked = Path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    ::chmod(QFile::encodeName(locked).constData(), 0555);
    dlg.SetFileChooser([&](const QString &, const QString &) { return locked + QStringLiteral("/r.xlsx"); });
    dlg.OnExportExcel();
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("r.xlsx"), std::string::npos);
    EXPECT_TRUE(FilesIn(locked).isEmpty());
}

// ---- printing ---------------------------------------------------------------------------------

namespace {

void FillList(CListCtrlCl &list, int rows)
{
    list.InsertColumn(0, QStringLiteral("Args"), LVCFMT_CENTER, 110);
    list.InsertColumn(1, QStringLiteral("CH1"), LVCFMT_LEFT, 55);
    list.InsertColumn(2, QStringLiteral("CH2"), LVCFMT_RIGHT, 55);
    for (int r = 0; r < rows; ++r) {
        list.InsertItem(r, QStringLiteral("row %1").arg(r));
        list.SetItemText(r, 1, QStringLiteral("%1dB").arg(r));
    }
}

}  // namespace

TEST_F(Report, PrintsTheReportAsPagesOfAScaledRuledTable)
{
    CDataViewDlg dlg;
    dlg.m_pKTVData = &m_tree;
    dlg.InitDialog();
    CListCtrlPrint job;
    job.m_pList = &dlg.List();
    job.m_strHeader = QStringLiteral("ZK-470 parameter report\r\n");
    job.m_strPageFormat = QStringLiteral("Page %1 of %2");
    job.m_strFooter = QStringLiteral("ZK-470\r\n");
    PdfDialog pdf{Path(QStringLiteral("report.pdf"))};
    job.SetPrintDialog(pdf.Hook());
    job.OnFilePrint();

    ASSERT_EQ(job.LastOutcome(), CPrinterJob::Outcome::Printed);
    EXPECT_GT(job.RowsPerPage(), 10);
    EXPECT_EQ(job.MaxPage(), 174 / job.RowsPerPage() + 1);
    EXPECT_EQ(job.PagesPrinted(), job.MaxPage());
    EXPECT_TRUE(ReadAll(pdf.file).startsWith("%PDF"));
    EXPECT_EQ(PdfPageCount(pdf.file), job.MaxPage());
    EXPECT_EQ(FilesIn(m_dir.path()), QStringList{QStringLiteral("report.pdf")});

    // The columns keep their proportions and fill the printable width less 10 mm each side.
    const auto &pos = job.ColumnPositions();
    ASSERT_EQ(pos.size(), 10u);
    EXPECT_EQ(pos[0], 0);
    const int width = pdf.pageWidth - 2 * static_cast<int>(10 * pdf.dpi / 25.4);
    EXPECT_NEAR(pos[9], width, 12);
    const double screen = dlg.List().columnWidth(0) / double(dlg.List().columnWidth(1));
    EXPECT_NEAR(pos[1] / double(pos[2] - pos[1]), screen, 0.02);
}

TEST_F(Report, PrintingAnExactMultipleOfAPageAddsAPageOfEmptyRows)
{
    CListCtrlCl probeList;
    FillList(probeList, 1);
    CListCtrlPrint probe;
    probe.m_pList = &probeList;
    PdfDialog first{Path(QStringLiteral("probe.pdf"))};
    probe.SetPrintDialog(first.Hook());
    probe.OnFilePrint();
    const int perPage = probe.RowsPerPage();
    ASSERT_GT(perPage, 1);
    EXPECT_EQ(probe.PagesPrinted(), 1);

    CListCtrlCl list;
    FillList(list, 2 * perPage);
    CListCtrlPrint job;
    job.m_pList = &list;
    PdfDialog pdf{Path(QStringLiteral("two.pdf"))};
    job.SetPrintDialog(pdf.Hook());
    job.OnFilePrint();
    EXPECT_EQ(job.MaxPage(), 3);
    EXPECT_EQ(PdfPageCount(pdf.file), 3);

    // A page range prints only those pages.
    CListCtrlPrint range;
    range.m_pList = &list;
    PdfDialog some{Path(QStringLiteral("range.pdf")), 2, 3};
    range.SetPrintDialog(some.Hook());
    range.OnFilePrint();
    EXPECT_EQ(range.PagesPrinted(), 2);
    EXPECT_EQ(PdfPageCount(some.file), 2);
}

TEST_F(Report, NothingIsPrintedWithoutRowsOrColumnsOrAfterCancel)
{
    CListCtrlCl empty;
    CListCtrlCl noColumns;
    noColumns.setRowCount(3);
    CListCtrlPrint job;
    PdfDialog pdf{Path(QStringLiteral("none.pdf"))};
    job.SetPrintDialog(pdf.Hook());
    for (CListCtrlCl *list : {static_cast<CListCtrlCl *>(nullptr), &empty, &noColumns}) {
        job.m_pList = list;
        job.OnFilePrint();
        EXPECT_EQ(job.LastOutcome(), CPrinterJob::Outcome::NothingToPrint);
    }
    EXPECT_EQ(pdf.shown, 0);

    CListCtrlCl list;
    FillList(list, 5);
    job.m_pList = &list;
    job.SetPrintDialog([](QPrinter &, int, int) { return false; });
    job.OnFilePrint();
    EXPECT_EQ(job.LastOutcome(), CPrinterJob::Outcome::Cancelled);
    EXPECT_TRUE(FilesIn(m_dir.path()).isEmpty());
}

TEST_F(Report, PrintingIntoAFileThatCannotBeWrittenShowsWhy)
{
    CListCtrlCl list;
    FillList(list, 5);
    CListCtrlPrint job;
    job.m_pList = &list;
    CScriptedMessageBox boxes;
    ScopedMessageBoxService scoped(boxes);
    PdfDialog pdf{Path(QStringLiteral("missing/folder/out.pdf"))};
    job.SetPrintDialog(pdf.Hook());
    job.OnFilePrint();
    EXPECT_EQ(job.LastOutcome(), CPrinterJob::Outcome::Failed);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("out.pdf"), std::string::npos) << boxes.Shown()[0].text;
    EXPECT_TRUE(FilesIn(m_dir.path()).isEmpty());
}
