#include "app/VersionDlg.h"

#include "controls/ConsoleStyle.h"
#include "controls/HyLink.h"
#include "controls/TransparentStatic.h"
#include "link/LinkState.h"
#include "model/TextFields.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

std::string DeviceVersionText(std::string_view reply)
{
    // The reply's field is 12 bytes wide; whatever the device sent past it is not the version.
    std::uint8_t field[12] = {};
    std::copy_n(reply.begin(), std::min(reply.size(), sizeof field), field);
    std::string text = BufferToCString(field, static_cast<int>(sizeof field));  // GBK read as UTF-8
    if (text.empty())
        return {};
    for (char &c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    // The last six characters, counted as characters: a cut never splits one.
    std::size_t start = text.size();
    for (int n = 0; n < 6 && start > 0; ++n) {
        --start;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
    }
    return "MPYelq-" + text.substr(start);
}

namespace {
// The template's font: Arial 9.
QFont TemplateFont() { return MakePointFont(QStringLiteral("Arial"), 90); }
}  // namespace

CCVersionDlg::CCVersionDlg(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    const DialogUnits u = SetUpTemplateDialog(this, TemplateFont(), QSize(203, 84), false);

    // The logo keeps its own size (128 x 91), centred on the template's picture box.
    m_picture = new QLabel(this);
    SetCtrlId(m_picture, IDC_LOGO);
    const QPixmap logo = Skins::Bitmap(275);
    const QRect box = DluRect(1, 12, 73, 61, u);
    m_picture->setPixmap(logo);
    m_picture->setGeometry(QRect(QPoint(0, 0), logo.size()).translated(box.center() - QRect(QPoint(0, 0), logo.size()).center()));
    m_webLink = new CHyLink(this, IDC_WEB_LINK);
    m_webLink->setGeometry(DluRect(84, 50, 119, 8, u));
    m_webLink->hide();

    const COLORREF text = [] {
        const QColor c = QColor::fromRgb(Skins::Palette::Text);
        return RGB(c.red(), c.green(), c.blue());
    }();
    const auto line = [&](int id, QRect r) {
        auto *l = new CTransparentStatic(this, id);
        l->setGeometry(r);
        l->SetTextColor(text);
        return l;
    };
    m_lblText = line(IDC_TEXT_LINE, DluRect(84, 39, 108, 8, u));
    m_lblSoftwareVersion = line(IDC_SOFTWARE_VERSION, DluRect(84, 29, 112, 8, u));
    m_lblDeviceVersion = line(IDC_DEVICE_VERSION, DluRect(84, 19, 112, 8, u));
    m_lblSpare = line(IDC_SPARE, DluRect(83, 5, 63, 8, u));

    m_btnHelp = new QPushButton(this);
    SetCtrlId(m_btnHelp, IDC_HELP);
    m_btnHelp->setGeometry(DluRect(147, 65, 50, 14, u));
    m_btnHelp->setAutoDefault(false);
    m_btnHelp->hide();
    m_btnClose = new QPushButton(this);
    SetCtrlId(m_btnClose, IDC_CLOSE);
    m_btnClose->setGeometry(DluRect(146, 65, 50, 14, u));
    m_btnClose->setDefault(true);
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void CCVersionDlg::InitDialog()
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    g_bUpdating = 0;
    m_lblText->SetText(QTr(StrId::VersionTextLine));
    ApplyTexts();
}

void CCVersionDlg::ApplyTexts()
{
    setWindowTitle(QTr(StrId::VersionCaption));
    m_btnHelp->setText(QTr(StrId::VersionHelpButton));
    m_btnClose->setText(QTr(StrId::Quit));
    m_lblText->SetText(QTr(StrId::VersionTextLine));
    const std::string device = DeviceVersionText(GetDeviceVersion());
    m_lblDeviceVersion->SetText(QString::fromStdString(TrArgs(StrId::DeviceVersionLine, {device})));
    m_lblSoftwareVersion->SetText(QTr(StrId::SoftwareVersion));
    // A line longer than its template box grows to the dialog's right edge rather than being cut.
    for (CTransparentStatic *l : {m_lblText, m_lblSoftwareVersion, m_lblDeviceVersion}) {
        const int need = QFontMetrics(l->font()).horizontalAdvance(l->GetWindowText()) + 2;
        l->resize(std::max(l->width(), std::min(need, width() - l->x() - 2)), l->height());
    }
}

int CCVersionDlg::DoModal()
{
    InitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CCVersionDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_bInitialised)
        ApplyTexts();
    QDialog::changeEvent(e);
}
