#include "app/DataViewDlg.h"

#include "app/ExcelExport.h"
#include "app/ListCtrlPrint.h"
#include "app/ReportTable.h"
#include "controls/ConsoleStyle.h"
#include "controls/ListCtrlCl.h"
#include "platform/GlobalData.h"
#include "platform/ViewServices.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"

#include <QDateTime>
#include <cerrno>
#include <cstring>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidgetItem>

namespace {

// The template's font: System 8.
QFont TemplateFont() { return MakePointFont(QStringLiteral("System"), 80); }

constexpr COLORREF kListBack = RGB(247, 247, 255);
constexpr COLORREF kListText = RGB(0, 0, 255);
constexpr int kLabelColumnWidth = 100;
constexpr int kValueColumnMinWidth = 74;  // "参量均衡" whole in the list font
constexpr int kRowHeight = 20;

bool ViewModeExports() { return g_nViewMode == 1 || g_nViewMode == 2; }

}  // namespace

CDataViewDlg::CDataViewDlg(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    const DialogUnits u = SetUpTemplateDialog(this, TemplateFont(), QSize(377, 247), true);

    m_btnExport = new QPushButton(this);
    SetCtrlId(m_btnExport, IDC_EXPORT);
    m_btnExport->setGeometry(DluRect(130, 7, 50, 12, u));
    m_btnExport->setAutoDefault(false);
    m_btnPrint = new QPushButton(this);
    SetCtrlId(m_btnPrint, IDC_PRINT);
    m_btnPrint->setGeometry(DluRect(16, 7, 50, 12, u));
    m_btnPrint->setAutoDefault(false);
    connect(m_btnPrint, &QPushButton::clicked, this, &CDataViewDlg::OnPrint);
    connect(m_btnExport, &QPushButton::clicked, this, &CDataViewDlg::OnExportExcel);

    m_list = new CListCtrlCl(this);
    SetCtrlId(m_list, IDC_LIST);
    m_list->setGeometry(DluRect(7, 21, 365, 218, u));
    m_list->setFrameShape(QFrame::Box);
}

CDataViewDlg::~CDataViewDlg() = default;

void CDataViewDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    ApplyTexts();
    // Grid lines, whole-row selection, blue text on a pale ground.
    m_list->setShowGrid(true);
    m_list->setStyleSheet(QStringLiteral("QTableView { gridline-color: #C8C8DC; }"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->SetBkColor(kListBack);
    m_list->SetTextColorAll(kListText);
    m_list->SetHeaderBkColor(226, 228, 240, 2);
    m_list->SetHeaderTextColor(RGB(20, 24, 60));
    m_list->SetRowHeight(kRowHeight);
    RefreshReport();
}

void CDataViewDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::ReportCaption));
    m_btnPrint->setText(QTr(StrId::ReportPrint));
    m_btnExport->setText(QTr(StrId::ReportExport));
}

int CDataViewDlg::DoModal()
{
    InitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CDataViewDlg::RefreshReport()
{
    // The report shows the parameters as soon as it opens.
    FillReport();
}

void CDataViewDlg::FillReport()
{
    if (!m_pKTVData)
        return;
    const auto cells = report::Cells(*m_pKTVData);
    const auto headers = report::ColumnHeaders(g_bChinese.load() != 0);
    m_list->DeleteAllItems();
    m_list->DeleteAllTitles();
    m_list->setColumnCount(0);
    m_list->Header()->m_Format.clear();

    // The label column keeps its width; the outputs share the rest of the list.
    const int scroll = m_list->verticalScrollBar()->sizeHint().width();
    const int valueWidth = std::max(kValueColumnMinWidth, (m_list->width() - 2 * m_list->frameWidth() - scroll - kLabelColumnWidth) /
                                                              (static_cast<int>(headers.size()) - 1));
    for (std::size_t c = 0; c < headers.size(); ++c)
        m_list->InsertColumn(static_cast<int>(c), QString::fromStdString(headers[c]), LVCFMT_CENTER,
                             c == 0 ? kLabelColumnWidth : valueWidth);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        const int row = m_list->InsertItem(static_cast<int>(r), QString::fromStdString(cells[r][0]));
        for (std::size_t c = 1; c < cells[r].size(); ++c)
            m_list->SetItemText(row, static_cast<int>(c), QString::fromStdString(cells[r][c]));
    }
}

void CDataViewDlg::OnPrint()
{
    CListCtrlPrint job;
    job.m_strHeader = QTr(StrId::ReportPageHeader);
    job.m_strFooter = QTr(StrId::ReportPageFooter);
    job.m_strPageFormat = QTr(StrId::ReportPageNumber);
    job.m_pList = m_list;
    job.SetDialogParent(this);
    if (m_printDialog)
        job.SetPrintDialog(m_printDialog);
    job.OnFilePrint();
}

void CDataViewDlg::OnExportExcel()
{
    if (ViewModeExports())
        ExportToExcel(*m_list, QString::fromLatin1(kTableName));
}

void CDataViewDlg::ExportToExcel(CListCtrlCl &list, const QString &table)
{
    if (list.rowCount() == 0)
        return;
    QString file;
    if (!ChooseExportFile(file))
        return;

    std::vector<std::string> columns;
    for (int c = 0; c < list.columnCount(); ++c) {
        const QTableWidgetItem *title = list.horizontalHeaderItem(c);
        columns.push_back((title ? title->text() : QString()).left(100).toStdString());
    }
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(list.rowCount()));
    for (int r = 0; r < list.rowCount(); ++r)
        for (int c = 0; c < list.columnCount(); ++c)
            rows[static_cast<std::size_t>(r)].push_back(list.GetItemText(r, c).toStdString());

    ExcelExportResult result;
    if (!MakePathFolders(file, true))
        result.error = std::strerror(errno);
    else
        result = WriteTextWorkbook(QFile::encodeName(file).toStdString(), table.toStdString(), columns, rows);
    if (!result.ok) {
        const bool cn = g_bChinese.load() != 0;
        ShowMessage(TrArgs(StrId::ReportExportFailed, {file.toStdString(), result.error}), MB_OK, cn ? -4 : -5);
    }
}

QString CDataViewDlg::ExportFolder()
{
    const QString start = g_szStartFolder.empty() ? QDir::currentPath() : QString::fromStdString(g_szStartFolder);
    return ViewModeExports() ? QDir(start).filePath(QStringLiteral("MusicFile/TQ900")) : start;
}

QString CDataViewDlg::ProposedFileName()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")) + QStringLiteral(".xlsx");
}

bool CDataViewDlg::ChooseExportFile(QString &fileName)
{
    const QString folder = ExportFolder();
    QString chosen;
    if (m_chooser) {
        chosen = m_chooser(folder, ProposedFileName());
    } else {
        QFileDialog dlg(this);
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);  // asks before replacing a file
        dlg.setWindowTitle(QTr(StrId::ReportExportTitle));
        dlg.setNameFilter(QTr(StrId::ReportExportFilter));
        dlg.setDefaultSuffix(QStringLiteral("xlsx"));
        // The export folder when it exists, else the nearest folder above it that does.
        QDir dir(folder);
        while (!dir.exists() && dir.cdUp()) {
        }
        dlg.setDirectory(dir);
        dlg.selectFile(ProposedFileName());
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            chosen = dlg.selectedFiles().first();
    }
    if (chosen.isEmpty())
        return false;
    if (QFileInfo(chosen).suffix().compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) != 0)
        chosen += QStringLiteral(".xlsx");
    fileName = QFileInfo(chosen).absoluteFilePath();
    return true;
}

bool CDataViewDlg::MakePathFolders(const QString &path, bool namesFile)
{
    const QFileInfo info(path);
    const QString folder = namesFile ? info.absolutePath() : info.absoluteFilePath();
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

void CDataViewDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised) {
        ApplyTexts();
        RefreshReport();
    }
    QDialog::changeEvent(e);
}
