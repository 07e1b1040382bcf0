#include "controls/DELAC.h"

#include "controls/BitButton.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QKeyEvent>

#include <algorithm>
#include <QPainter>

namespace {
void registerUnitSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const char *units[] = {"ms", "cm", "inch"};
    const char *unitsCn[] = {"毫秒", "厘米", "英寸"};
    const SkinState states[] = {SkinState::Normal, SkinState::Hover, SkinState::Checked};
    for (int u = 0; u < 3; ++u)
        for (int s = 0; s < 3; ++s)
            if (!Skins::Find(SkinType::Bitmap, CDELAC::kSkinFirst + u * 3 + s))
                Skins::Register(SkinType::Bitmap, CDELAC::kSkinFirst + u * 3 + s,
                                SkinSpec{SkinStyle::Button, states[s], DluSize(CDELAC::kButtonWidthDlu, 10), units[u], unitsCn[u]});
}
}  // namespace

CDELAC::CDELAC(QWidget *parent, int ctrlId) : QWidget(parent)
{
    SetCtrlId(this, ctrlId);
    registerUnitSkins();
    const DialogUnits u = DefaultDialogUnits();
    resize(DluSize(72, 49, u));
    setFocusPolicy(Qt::StrongFocus);
    struct Def {
        CBitButton **button;
        int id, x, skin;
        void (CDELAC::*handler)();
    } defs[] = {{&m_btnMs, IDC_MS, 0, 0, &CDELAC::OnMs},
                {&m_btnCm, IDC_CM, 27, 3, &CDELAC::OnCm},
                {&m_btnInch, IDC_INCH, 55, 6, &CDELAC::OnInch}};
    for (const Def &d : defs) {
        auto *b = new CBitButton(this, d.id);
        // The template's buttons are 14 units wide at x 0, 27 and 55: too narrow for the Chinese
        // unit words at a readable size. They grow to the right within the selector (the last
        // one ends at its edge), the left edges as the template places them.
        b->setGeometry(DluRect(std::min(d.x, 72 - kButtonWidthDlu), 3, kButtonWidthDlu, 10, u));
        const int s = kSkinFirst + d.skin;
        b->SetBitmaps(s, s + 1, s + 1, s + 2, s + 2, s + 2);
        connect(b, &QAbstractButton::clicked, this, d.handler);
        *d.button = b;
    }
    m_btnMs->SetCheck(1);  // milliseconds until the page says otherwise
}

CBitButton *CDELAC::Button(int id) const
{
    return id == IDC_MS ? m_btnMs : id == IDC_CM ? m_btnCm : id == IDC_INCH ? m_btnInch : nullptr;
}

void CDELAC::select(int id, LPARAM unit)
{
    for (CBitButton *b : {m_btnMs, m_btnCm, m_btnInch})
        b->SetCheck(GetCtrlId(b) == id ? 1 : 0);
    PostMessageTo(parentWidget(), WM_GAINDLG_SELECT, WPARAM(GetCtrlId(this)), unit);
}

void CDELAC::OnMs() { select(IDC_MS, 1); }
void CDELAC::OnCm() { select(IDC_CM, 2); }
void CDELAC::OnInch() { select(IDC_INCH, 3); }

void CDELAC::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPixmap bg = Skins::Bitmap(kBackground, size());
    p.drawPixmap(0, 0, bg);
}

void CDELAC::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        setFocus();
        return;
    }
    QWidget::keyPressEvent(e);
}
