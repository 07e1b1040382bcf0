#include "app/PrinterJob.h"

#include "platform/ViewServices.h"
#include "res/Strings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void ShowPrintFailure(const QString &reason)
{
    const bool cn = g_bChinese.load() != 0;
    ShowMessage(TrArgs(StrId::ReportPrintFailed, {reason.toStdString()}), MB_OK, cn ? -4 : -5);
}

// The file the printer writes while the job runs: a new file beside the target, renamed over it
// when the job has succeeded.
class PrintFile {
public:
    explicit PrintFile(QPrinter &printer) : m_printer(printer), m_target(printer.outputFileName()) {}
    ~PrintFile()
    {
        if (!m_temp.isEmpty())
            QFile::remove(m_temp);
        m_printer.setOutputFileName(m_target);
    }
    bool ToFile() const { return !m_target.isEmpty(); }
    const QString &Target() const { return m_target; }

    // Reserves the temporary file and points the printer at it.
    bool Open(QString &error)
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString name = m_target + QStringLiteral(".tmp-%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            QFile f(name);
            if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                f.close();
                m_temp = name;
                if (QFile::exists(m_target))
                    QFile::setPermissions(m_temp, QFile::permissions(m_target));
                m_printer.setOutputFileName(m_temp);
                return true;
            }
            if (!QFile::exists(name)) {  // not a name taken by another file: the folder refuses
                error = QStringLiteral("%1: %2").arg(m_target, f.errorString());
                return false;
            }
        }
        error = m_target;
        return false;
    }

    // Puts the finished file in place of the target.
    bool Commit(QString &error)
    {
        if (std::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_target).constData()) != 0) {
            error = QStringLiteral("%1: %2").arg(m_target, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        m_temp.clear();
        return true;
    }

private:
    QPrinter &m_printer;
    QString m_target;
    QString m_temp;
};

}  // namespace

CPrinterJob::CPrinterJob() = default;
CPrinterJob::~CPrinterJob() = default;

void CPrinterJob::OnPrint(QPainter &, CPrintJobInfo &) {}
void CPrinterJob::OnEndPrinting(CPrintJobInfo &) {}
void CPrinterJob::OnBeginPrinting(CPrintJobInfo &) {}

bool CPrinterJob::OnPreparePrinting(CPrintJobInfo &info, bool preview)
{
    if (preview)
        return true;
    return DoPreparePrinting(info);
}

bool CPrinterJob::DoPreparePrinting(CPrintJobInfo &info)
{
    if (info.maxPage < info.minPage)
        info.maxPage = info.minPage;
    bool ok = false;
    if (m_dialog) {
        ok = m_dialog(*info.printer, info.minPage, info.maxPage);
    } else {
        QPrintDialog dialog(info.printer, m_parent);
        dialog.setMinMax(info.minPage, info.maxPage);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        ok = dialog.exec() == QDialog::Accepted;
    }
    if (!ok) {
        m_outcome = Outcome::Cancelled;
        return false;
    }
    if (!info.printer->isValid()) {
        m_outcome = Outcome::Failed;
        ShowPrintFailure(info.printer->printerName());
        return false;
    }
    return true;
}

void CPrinterJob::OnPrepareDC(CPrintJobInfo &info)
{
    info.continuePrinting = info.maxPage != CPrintJobInfo::kOpenEnded || info.curPage == 1;
}

void CPrinterJob::OnFilePrint()
{
    m_outcome = Outcome::NothingToPrint;
    m_nPagesPrinted = 0;
    QPrinter printer(QPrinter::HighResolution);
    CPrintJobInfo info;
    info.printer = &printer;
    if (!OnPreparePrinting(info, false))
        return;

    // Printing into a file that the dialog did not name: ask for it.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        const QString file = QFileDialog::getSaveFileName(m_parent, QString(), QString(), QStringLiteral("PDF (*.pdf)"));
        if (file.isEmpty()) {
            m_outcome = Outcome::Cancelled;
            return;
        }
        printer.setOutputFileName(file);
    }
    printer.setDocName(m_strTitle);

    PrintFile file(printer);
    QString error;
    if (file.ToFile() && !file.Open(error)) {
        m_outcome = Outcome::Failed;
        ShowPrintFailure(error);
        return;
    }

    const auto pageRect = [&] { return QRect(0, 0, printer.width(), printer.height()); };
    info.drawRect = pageRect();
    OnBeginPrinting(info);

    QPainter painter;
    if (!painter.begin(&printer)) {
        OnEndPrinting(info);
        m_outcome = Outcome::Failed;
        if (file.ToFile())
            ShowPrintFailure(file.Target());
        return;
    }

    // The page range the dialog chose, within the job's.
    int start = info.minPage, end = info.maxPage;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        start = printer.fromPage();
        end = printer.toPage() > 0 ? printer.toPage() : start;
    }
    start = std::clamp(start, info.minPage, info.maxPage);
    end = std::clamp(end, info.minPage, info.maxPage);
    const int step = end >= start ? 1 : -1;
    if (end != CPrintJobInfo::kOpenEnded)
        end += step;

    bool failed = false;
    for (info.curPage = start; info.curPage != end; info.curPage += step) {
        OnPrepareDC(info);
        if (!info.continuePrinting)
            break;
        info.drawRect = pageRect();
        if (m_nPagesPrinted > 0 && !printer.newPage()) {
            failed = true;
            break;
        }
        OnPrepareDC(info);
        painter.save();
        OnPrint(painter, info);
        painter.restore();
        ++m_nPagesPrinted;
        // Keep the window alive between pages; a quitting application ends the job.
        QCoreApplication::processEvents();
        if (QCoreApplication::closingDown()) {
            failed = true;
            break;
        }
    }
    if (failed)
        printer.abort();
    const bool ended = painter.end();
    OnEndPrinting(info);
    if (failed || !ended) {
        m_outcome = Outcome::Failed;
        ShowPrintFailure(file.ToFile() ? file.Target() : printer.printerName());
        return;
    }
    if (file.ToFile() && !file.Commit(error)) {
        m_outcome = Outcome::Failed;
        ShowPrintFailure(error);
        return;
    }
    m_outcome = Outcome::Printed;
}
