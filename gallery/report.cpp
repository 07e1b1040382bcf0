// The parameter report filled from a tuned set of outputs, and the lock log with a few lines in
// each log.

#include "gallery/Gallery.h"

#include "app/DataViewDlg.h"
#include "app/LockDataDlg.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"

#include <QLineEdit>
#include <QString>

ZK_GALLERY(report_dialog)
{
    CKTV_Data doc;
    for (int o = 0; o < 8; ++o)
        Gallery::ShapeOutput(*doc.GetOut(o));
    doc.GetOut(1)->SetPolarity(1);
    doc.GetOut(3)->SetGain(540);
    doc.GetOut(6)->SetDelay(240);
    CDataViewDlg dlg;
    dlg.m_pKTVData = &doc;
    dlg.InitDialog();
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}

ZK_GALLERY(lock_log_dialog)
{
    CLockDataDlg dlg;
    dlg.InitDialog();
    const char *written[] = {"9191919EEA1010003", "9191919EEA1010104", "9191919EEA1010205"};
    const char *read[] = {"9191919EE510100", "9191919EE510101", "9191919EE510102"};
    for (int i = 0; i < 3; ++i) {
        dlg.AppendWriteLog(QString::fromLatin1(written[i]), 1, 1);
        dlg.AppendReadLog(QString::fromLatin1(read[i]), 1, 1);
    }
    dlg.WriteCount()->setText(QStringLiteral("3"));
    dlg.ReadCount()->setText(QStringLiteral("3"));
    const QImage img = Gallery::Shot(dlg);
    dlg.hide();
    return img;
}
