#pragma once
// The parameter report: a list with one labelled row per parameter of an output and one column per
// output, filled from the record tree when the dialog opens, with a Print button (a ruled table,
// app/ListCtrlPrint.h) and an Export Excel button (an .xlsx workbook with one sheet, "TQ900").
// The view's ShowReportDialog opens it; no command of the program does yet.

#include "app/PrinterJob.h"

#include <QDialog>
#include <QString>

#include <functional>

class CKTV_Data;
class CListCtrlCl;
class CVRX530View;
class QPushButton;

class CDataViewDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 102;
    static constexpr int IDC_PRINT = 1366, IDC_LIST = 1367, IDC_OK = 1368, IDC_EXPORT = 1369;
    static constexpr const char *kTableName = "TQ900";

    explicit CDataViewDlg(QWidget *parent = nullptr);
    ~CDataViewDlg() override;

    // Set by the creator before InitDialog / DoModal.
    CVRX530View *m_pView = nullptr;
    CKTV_Data *m_pKTVData = nullptr;

    int DoModal();
    void InitDialog();
    // Fills the list from the tree (nothing without one).
    void RefreshReport();
    void FillReport();

    void OnPrint();
    void OnExportExcel();
    // Writes the list into a new workbook; a list without rows writes nothing.
    void ExportToExcel(CListCtrlCl &list, const QString &table);
    // Asks for the workbook's file; false when the export is not to go on.
    bool ChooseExportFile(QString &fileName);
    // Creates the folders of the path (and the path itself unless it names a file); true when
    // the folder that holds the path, or the path itself, then exists.
    static bool MakePathFolders(const QString &path, bool namesFile);
    // The folder the file dialog opens in: the start folder, and in view modes 1 and 2 its
    // MusicFile/TQ900 below it.
    static QString ExportFolder();
    // The name proposed for a new workbook: the time of the export, "yyyyMMddhhmmss.xlsx".
    static QString ProposedFileName();

    // The file dialog of the export and the print dialog; tests give their own answers.
    using FileChooser = std::function<QString(const QString &folder, const QString &proposedName)>;
    void SetFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    void SetPrintDialog(CPrinterJob::PrintDialog dialog) { m_printDialog = std::move(dialog); }

    CListCtrlCl &List() const { return *m_list; }
    QPushButton *PrintButton() const { return m_btnPrint; }
    QPushButton *ExportButton() const { return m_btnExport; }

protected:
    void changeEvent(QEvent *e) override;

private:
    void ApplyTexts();

    QPushButton *m_btnExport;
    QPushButton *m_btnPrint;
    CListCtrlCl *m_list;
    FileChooser m_chooser;
    CPrinterJob::PrintDialog m_printDialog;
    bool m_bInitialised = false;
};
