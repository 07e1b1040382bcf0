#pragma once
// The link-group editor "Joint Debug Settings": the user gathers outputs into a link group. An
// output strip opens it in create mode (build or enlarge the group of its own output) or join
// mode (move its own output, with the outputs linked to it, into an existing group). On OK it
// writes the new masks into the strips and posts WM_LINKDLG_APPLY to the output page, which
// takes them over as link values and copies one member's settings to the group.
//
// The lists and their moves are CLinkEditor's; this is the window around it. Add asks in the
// program's message box (Yes / No); a group button asks Yes / No / Cancel in a plain system box
// titled with the product name. Tests give other askers. UI thread only.

#include "panels/input/LinkEditor.h"

#include <QDialog>

#include <array>
#include <functional>

class CBitButton;
class CListCtrlCl;
class CTransparentStatic;
class IMessageBoxService;

// What the editor reads and writes of the output page: the strips' link masks and the notice.
class ILinkMaskHost {
public:
    virtual ~ILinkMaskHost() = default;
    virtual int LinkMask(int output) const = 0;
    virtual void SetLinkMask(int output, int mask) = 0;
    // Posts WM_LINKDLG_APPLY (a, b) to the output page.
    virtual void PostLinkApply(int a, int b) = 0;
};

class CLink_Dlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 887;
    static constexpr int IDC_LEFT = 2840, IDC_RIGHT = 2841;
    static constexpr int IDC_ADD = 2821, IDC_RESET = 2824;
    static constexpr int IDC_CAPTION_LEFT = 2843, IDC_CAPTION_RIGHT = 2842;
    static constexpr std::array<int, CLinkEditor::kGroups> kGroupIds{2819, 2820, 2822, 2823, 2825};

    CLink_Dlg(ILinkMaskHost &host, IMessageBoxService &boxes, QWidget *parent = nullptr);
    ~CLink_Dlg() override;

    // Set before DoModal: the opening strip's output and the mode (create: menu item 32771).
    int m_nOwnOutput = 0;
    int m_bCreateMode = 1;
    int m_bJoinMode = 0;

    // Sets the dialog up and runs it: IDOK after an apply or a plain close by OK, IDCANCEL.
    int DoModal();
    // The set-up DoModal runs (the lists from the strips' masks), for tests and pictures.
    void InitDialog();

    // The Yes / No / Cancel question of a group button (tests replace the system box).
    void SetGroupQuestion(std::function<int(const std::string &)> ask) { m_askGroup = std::move(ask); }

    // ---- handlers ----
    void OnAdd();
    void OnGroupButton(int k);
    void OnReset();
    void OnOK();
    // A click in the left list: the flags follow the selection.
    void OnLeftClick();

    const CLinkEditor &Editor() const { return m_editor; }
    CListCtrlCl *LeftList() const { return m_listLeft; }
    CListCtrlCl *RightList() const { return m_listRight; }
    CBitButton *AddButton() const { return m_btnAdd; }
    CBitButton *ResetButton() const { return m_btnReset; }
    CBitButton *OkButton() const { return m_btnOk; }
    CBitButton *GroupButton(int k) const;
    // Registers the editor's button skins (idempotent).
    static void RegisterSkins();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Enter is OK; Escape keeps the dialog's cancel.
    void keyPressEvent(QKeyEvent *e) override;

private:
    void ApplyTexts();
    void ShowLists();

    ILinkMaskHost &m_host;
    IMessageBoxService &m_boxes;
    CLinkEditor m_editor;
    std::function<int(const std::string &)> m_askGroup;
    std::array<CBitButton *, CLinkEditor::kGroups> m_btnGroup{};
    CListCtrlCl *m_listRight = nullptr;
    CListCtrlCl *m_listLeft = nullptr;
    CBitButton *m_btnReset = nullptr;
    CBitButton *m_btnAdd = nullptr;
    CBitButton *m_btnOk = nullptr;
    CTransparentStatic *m_captionLeft = nullptr;
    CTransparentStatic *m_captionRight = nullptr;
    int m_nResult = 2;
};
