#pragma once
// A print job driven from code rather than from a document view: it runs the print dialog, starts
// the document, loops over the chosen pages and calls its own virtual steps for the preparation,
// the beginning, each page and the end. A derived class draws the pages.
//
// Printing into a file (the dialog's PDF printer) writes a temporary file beside the chosen one and
// renames it over the target only when every page has been written, so a failed job leaves no
// half-written file and keeps an older file of that name. Failures are shown to the user.

#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class QPrinter;
class QWidget;

// What the steps of a job share: the printer, the page range, the current page and the drawing
// rectangle (the printable area in device units).
struct CPrintJobInfo {
    static constexpr int kOpenEnded = 0xFFFF;
    QPrinter *printer = nullptr;
    int minPage = 1;
    int maxPage = kOpenEnded;
    int curPage = 1;
    bool preview = false;
    bool continuePrinting = true;
    QRect drawRect;
};

class CPrinterJob {
public:
    enum class Outcome { None, Printed, NothingToPrint, Cancelled, Failed };

    CPrinterJob();
    virtual ~CPrinterJob();
    CPrinterJob(const CPrinterJob &) = delete;
    CPrinterJob &operator=(const CPrinterJob &) = delete;

    // The driver: dialog, document, pages.
    virtual void OnFilePrint();
    // Draws the current page.
    virtual void OnPrint(QPainter &painter, CPrintJobInfo &info);
    virtual void OnEndPrinting(CPrintJobInfo &info);
    virtual void OnBeginPrinting(CPrintJobInfo &info);
    // TRUE at once for a preview, otherwise DoPreparePrinting.
    virtual bool OnPreparePrinting(CPrintJobInfo &info, bool preview);

    // Presets the dialog's page range to the job's and runs the dialog; true when the user
    // confirmed it and the printer can be used.
    bool DoPreparePrinting(CPrintJobInfo &info);
    // Whether printing goes on: for an open-ended job only page 1 is printed.
    void OnPrepareDC(CPrintJobInfo &info);

    // The dialog step. The default shows the print dialog over `parent`; tests (and callers that
    // already know the printer) give one that sets the printer up and answers true to go on.
    using PrintDialog = std::function<bool(QPrinter &printer, int minPage, int maxPage)>;
    void SetPrintDialog(PrintDialog dialog) { m_dialog = std::move(dialog); }
    void SetDialogParent(QWidget *parent) { m_parent = parent; }

    // How the last OnFilePrint ended and how many pages it drew.
    Outcome LastOutcome() const { return m_outcome; }
    int PagesPrinted() const { return m_nPagesPrinted; }

    QString m_strTitle = QStringLiteral("Untitled");  // names the job in the spooler
    int m_nReserved1 = 0;
    int m_nReserved2 = 0;

protected:
    QWidget *m_parent = nullptr;

private:
    PrintDialog m_dialog;
    Outcome m_outcome = Outcome::None;
    int m_nPagesPrinted = 0;
};
