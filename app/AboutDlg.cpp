#include "app/AboutDlg.h"

#include "controls/ConsoleStyle.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DefaultDialogFont());
    ApplyConsoleDialogStyle(this);
    const DialogUnits u = DefaultDialogUnits();
    setFixedSize(DluSize(235, 56, u));

    // The program's icon, a 32-pixel square at the template's place.
    m_icon = new QLabel(this);
    m_icon->setPixmap(Skins::Bitmap(275, QSize(32, 32)));
    m_icon->setGeometry(QRect(DluRect(11, 17, 0, 0, u).topLeft(), QSize(32, 32)));
    m_lblVersion = new QLabel(this);
    SetCtrlId(m_lblVersion, IDC_VERSION);
    m_lblVersion->setGeometry(DluRect(40, 10, 130, 8, u));
    m_lblSecond = new QLabel(this);
    m_lblSecond->setGeometry(DluRect(40, 25, 119, 8, u));
    m_btnOk = new QPushButton(this);
    SetCtrlId(m_btnOk, IDOK);
    m_btnOk->setGeometry(DluRect(178, 0, 50, 14, u));
    m_btnOk->setDefault(true);
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

void CAboutDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    ApplyTexts();
}

void CAboutDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::VersionCaption));
    m_lblVersion->setText(QTr(StrId::AboutVersionLine));
    m_lblSecond->setText(QTr(StrId::VersionTextLine));
    m_btnOk->setText(QTr(StrId::Ok));
    // The second line keeps its template box unless its text is longer.
    m_lblSecond->resize(std::max(m_lblSecond->width(),
                                 std::min(m_lblSecond->fontMetrics().horizontalAdvance(m_lblSecond->text()) + 2,
                                          m_btnOk->x() - m_lblSecond->x() - 4)),
                        m_lblSecond->height());
}

int CAboutDlg::DoModal()
{
    InitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CAboutDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
