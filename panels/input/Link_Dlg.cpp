#include "panels/input/Link_Dlg.h"

#include "controls/BitButton.h"
#include "controls/ConsoleStyle.h"
#include "controls/ListCtrlCl.h"
#include "controls/TransparentStatic.h"
#include "platform/GlobalData.h"
#include "platform/ViewServices.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QEvent>
#include <QHeaderView>
#include <QMessageBox>
#include <QKeyEvent>
#include <QMouseEvent>

#include <string>

namespace {

constexpr QSize kButtonSize{84, 22};
constexpr QSize kOkSize{64, 22};
constexpr COLORREF kListBack = RGB(247, 247, 255);

// The group buttons' skins (normal, hover) by group k = 1..5: Chinese, English.
int GroupNormal(int k, bool cn) { return cn ? 904 + k : 924 + k; }
int GroupHover(int k, bool cn) { return cn ? 899 + k : 919 + k; }

QFont ListFont(bool cn) { return cn ? g_fontListCn : g_fontListEn; }

// The plain system question with Yes, No and Cancel, titled with the product name.
int AskYesNoCancel(QWidget *parent, const std::string &text)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(g_strProductName), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Yes)->setText(QTr(StrId::Yes));
    box.button(QMessageBox::No)->setText(QTr(StrId::No));
    box.button(QMessageBox::Cancel)->setText(QTr(StrId::Cancel));
    switch (box.exec()) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
    }
}

}  // namespace

void CLink_Dlg::RegisterSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using S = SkinStyle;
    using St = SkinState;
    // Words of each face, kept for the program's life (skins keep pointers to them).
    static std::vector<std::string> words;
    words.reserve(64);
    auto reg = [](int id, St state, StrId text, bool cn, QSize size, QRgb accent = 0, const std::string &arg = {}) {
        words.push_back(arg.empty() ? std::string(Tr(text, cn)) : TrArgs(text, cn, {arg}));
        const char *w = words.back().c_str();
        Skins::Register(SkinType::Bitmap, id, SkinSpec{S::Button, state, size, w, w, accent});
    };
    for (bool cn : {true, false}) {
        reg(cn ? 896 : 915, St::Normal, StrId::LinkDlgAdd, cn, kButtonSize);
        reg(cn ? 897 : 914, St::Hover, StrId::LinkDlgAdd, cn, kButtonSize);
        reg(cn ? 898 : 919, St::Normal, StrId::LinkDlgUndo, cn, kButtonSize);
        reg(cn ? 899 : 918, St::Hover, StrId::LinkDlgUndo, cn, kButtonSize);
        for (int k = 1; k <= CLinkEditor::kGroups; ++k) {
            reg(GroupNormal(k, cn), St::Normal, StrId::LinkDlgJoinGroup, cn, kButtonSize, 0, std::to_string(k));
            reg(GroupHover(k, cn), St::Hover, StrId::LinkDlgJoinGroup, cn, kButtonSize, 0, std::to_string(k));
        }
        reg(cn ? 910 : 917, St::Normal, StrId::Ok, cn, kOkSize);
        reg(cn ? 911 : 916, St::Hover, StrId::Ok, cn, kOkSize);
    }
}

CLink_Dlg::CLink_Dlg(ILinkMaskHost &host, IMessageBoxService &boxes, QWidget *parent)
    : QDialog(parent), m_host(host), m_boxes(boxes)
{
    InitQtGlobals();
    RegisterSkins();
    SetCtrlId(this, IDD);
    setModal(true);
    const DialogUnits u = SetUpTemplateDialog(this, MakePointFont(QStringLiteral("Arial"), 100), QSize(275, 197), true);

    auto makeList = [this, u](int id, QRect r) {
        auto *list = new CListCtrlCl(this);
        SetCtrlId(list, id);
        list->setGeometry(DluRect(r.x(), r.y(), r.width(), r.height(), u));
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->SetBkColor(kListBack);
        QPalette pal = list->palette();
        pal.setColor(QPalette::Base, ToQColor(kListBack));
        pal.setColor(QPalette::Text, Qt::black);
        list->setPalette(pal);
        list->setStyleSheet(QStringLiteral("QTableView { background: rgb(247, 247, 255); color: black; }"));
        list->SetTextColorAll(RGB(0, 0, 0));
        list->SetRowHeight(22);
        list->setShowGrid(true);
        return list;
    };
    m_listLeft = makeList(IDC_LEFT, QRect(21, 33, 90, 134));
    m_listRight = makeList(IDC_RIGHT, QRect(166, 33, 90, 134));
    m_listLeft->viewport()->installEventFilter(this);

    // The middle column: group buttons, the add button (over group 2's place) and reset.
    const int centre = DluRect(111, 0, 55, 1, u).center().x() + 1;
    auto makeButton = [this, u, centre](int id, int yDlu) {
        auto *b = new CBitButton(this, id);
        b->resize(kButtonSize);
        b->move(centre - kButtonSize.width() / 2, DluRect(0, yDlu, 1, 1, u).top());
        return b;
    };
    const int groupY[CLinkEditor::kGroups] = {36, 56, 81, 100, 118};
    for (int k = 1; k <= CLinkEditor::kGroups; ++k) {
        CBitButton *b = makeButton(kGroupIds[std::size_t(k - 1)], groupY[k - 1]);
        connect(b, &QAbstractButton::clicked, this, [this, k] { OnGroupButton(k); });
        m_btnGroup[std::size_t(k - 1)] = b;
    }
    m_btnAdd = makeButton(IDC_ADD, 67);
    connect(m_btnAdd, &QAbstractButton::clicked, this, &CLink_Dlg::OnAdd);
    m_btnReset = makeButton(IDC_RESET, 134);
    connect(m_btnReset, &QAbstractButton::clicked, this, &CLink_Dlg::OnReset);
    m_btnOk = new CBitButton(this, IDOK);
    const QRect ok = DluRect(209, 174, 29, 12, u);
    m_btnOk->move(ok.center().x() - kOkSize.width() / 2, ok.top());
    connect(m_btnOk, &QAbstractButton::clicked, this, &CLink_Dlg::OnOK);

    m_captionLeft = new CTransparentStatic(this, IDC_CAPTION_LEFT);
    m_captionLeft->setGeometry(DluRect(22, 15, 90, 12, u).adjusted(0, 0, 40, 0));
    m_captionRight = new CTransparentStatic(this, IDC_CAPTION_RIGHT);
    m_captionRight->setGeometry(DluRect(164, 16, 90, 12, u).adjusted(0, 0, 40, 0));
    for (CTransparentStatic *c : {m_captionLeft, m_captionRight})
        c->SetTextColor(RGB(228, 232, 238));
    connect(this, &QDialog::rejected, this, [this] { m_nResult = IDCANCEL; });
    m_askGroup = [this](const std::string &text) { return AskYesNoCancel(this, text); };
}

CLink_Dlg::~CLink_Dlg() = default;

CBitButton *CLink_Dlg::GroupButton(int k) const
{
    return k >= 1 && k <= CLinkEditor::kGroups ? m_btnGroup[std::size_t(k - 1)] : nullptr;
}

void CLink_Dlg::ApplyTexts()
{
    const bool cn = g_bChinese.load() != 0;
    m_btnAdd->SetBitmaps(cn ? 896 : 915, cn ? 897 : 914, cn ? 897 : 914);
    m_btnReset->SetBitmaps(cn ? 898 : 919, cn ? 899 : 918, cn ? 899 : 918);
    for (int k = 1; k <= CLinkEditor::kGroups; ++k)
        m_btnGroup[std::size_t(k - 1)]->SetBitmaps(GroupNormal(k, cn), GroupHover(k, cn), GroupHover(k, cn));
    cn ? m_btnOk->SetBitmaps(910, 911, 911) : m_btnOk->SetBitmaps(917, 916, 911);
    const QFont list = ListFont(cn);
    for (QWidget *w : {static_cast<QWidget *>(m_listLeft), static_cast<QWidget *>(m_listRight),
                       static_cast<QWidget *>(m_captionLeft), static_cast<QWidget *>(m_captionRight)})
        w->setFont(list);
    setWindowTitle(QTr(StrId::LinkDlgTitle));
    m_captionLeft->SetWindowText(QTr(StrId::LinkDlgOperable));
    m_captionRight->SetWindowText(QTr(StrId::LinkDlgRelations));
    m_listLeft->DeleteAllTitles();
    m_listLeft->InsertColumn(0, QTr(StrId::LinkDlgIdColumn), LVCFMT_CENTER, 40);
    m_listLeft->InsertColumn(1, QTr(StrId::LinkDlgNameColumn), LVCFMT_LEFT, 104);
    m_listRight->DeleteAllTitles();
    m_listRight->InsertColumn(0, QTr(StrId::LinkDlgGroupColumn), LVCFMT_CENTER, 60);
    m_listRight->InsertColumn(1, QTr(StrId::LinkDlgNameColumn), LVCFMT_LEFT, 104);
    // The name column reaches the list's right edge.
    for (CListCtrlCl *l : {m_listLeft, m_listRight})
        l->horizontalHeader()->setStretchLastSection(true);
}

void CLink_Dlg::InitDialog()
{
    ApplyTexts();
    std::array<int, CLinkEditor::kOutputs> masks{};
    for (int i = 0; i < CLinkEditor::kOutputs; ++i)
        masks[std::size_t(i)] = m_host.LinkMask(i);
    m_editor.Open(m_bCreateMode ? CLinkEditor::Mode::Create : CLinkEditor::Mode::Join, m_nOwnOutput, masks,
                  g_bChinese.load() != 0);
    ShowLists();
    // Create mode has no group buttons; join mode no add button and only the groups in use.
    for (int k = 1; k <= CLinkEditor::kGroups; ++k)
        m_btnGroup[std::size_t(k - 1)]->setVisible(!m_bCreateMode && m_editor.GroupUsed(k));
    m_btnAdd->setVisible(m_bCreateMode != 0);
}

void CLink_Dlg::ShowLists()
{
    auto fill = [this](CListCtrlCl *list, const std::vector<CLinkEditor::Row> &rows) {
        list->DeleteAllItems();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            list->InsertItem(int(r), QString::fromStdString(rows[r].col0));
            list->SetItemText(int(r), 1, QString::fromStdString(m_editor.Caption(rows[r].output)));
        }
    };
    fill(m_listLeft, m_editor.Left());
    fill(m_listRight, m_editor.Right());
    // The selection shows the flags (a question ended early keeps them).
    m_listLeft->clearSelection();
    for (int r = 0; r < m_listLeft->GetItemCount(); ++r)
        if (m_editor.LeftFlag(r))
            m_listLeft->selectRow(r);
}

int CLink_Dlg::DoModal()
{
    InitDialog();
    m_nResult = IDCANCEL;
    exec();
    return m_nResult;
}

void CLink_Dlg::OnLeftClick()
{
    std::vector<int> rows;
    for (const QModelIndex &i : m_listLeft->selectionModel()->selectedRows())
        rows.push_back(i.row());
    m_editor.SetLeftFlags(rows);
}

bool CLink_Dlg::eventFilter(QObject *watched, QEvent *event)
{
    // A click (not a key) sets the flags from the selection it leaves.
    if (watched == m_listLeft->viewport() && event->type() == QEvent::MouseButtonRelease)
        QMetaObject::invokeMethod(this, [this] { OnLeftClick(); }, Qt::QueuedConnection);
    return QDialog::eventFilter(watched, event);
}

void CLink_Dlg::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OnOK();
        return;
    }
    QDialog::keyPressEvent(e);
}

void CLink_Dlg::OnAdd()
{
    m_editor.Add([this](const std::string &text) { return m_boxes.ShowMessage(text, MB_YESNO, 0); });
    ShowLists();
}

void CLink_Dlg::OnGroupButton(int k)
{
    m_editor.JoinGroup(k, m_askGroup);
    ShowLists();
}

void CLink_Dlg::OnReset()
{
    if (!m_editor.Modified())
        return;
    m_editor.Reset();
    ShowLists();
}

void CLink_Dlg::OnOK()
{
    std::array<int, CLinkEditor::kOutputs> masks{};
    for (int i = 0; i < CLinkEditor::kOutputs; ++i)
        masks[std::size_t(i)] = m_host.LinkMask(i);
    const CLinkEditor::Apply apply = m_editor.OnOK(masks);
    if (apply.apply) {
        for (int i = 0; i < CLinkEditor::kOutputs; ++i)
            if (apply.masks[std::size_t(i)] != masks[std::size_t(i)])
                m_host.SetLinkMask(i, apply.masks[std::size_t(i)]);
        m_host.PostLinkApply(apply.wParam, apply.lParam);
    }
    m_nResult = IDOK;
    accept();
}
