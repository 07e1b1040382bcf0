#pragma once
// What the link-group editor does, apart from its window: the relation of the outputs read from
// the strips' link masks when it opens, the link groups found in it, the two lists (the operable
// outputs at the left, the link set at the right), the moves of Add and of a group button with
// their question, Reset, and the masks and the page notice that OK applies.
//
// Create mode builds or enlarges the group of the editor's own output; join mode moves the own
// output, with the outputs linked to it, into one of the groups found. A link mask has bit j set
// when output j belongs to the output's link set; a lone output holds only its own bit.
//
// Plain code without Qt; the dialog (Link_Dlg) shows the lists and asks the questions. UI thread.

#include <array>
#include <functional>
#include <string>
#include <vector>

class CLinkEditor {
public:
    static constexpr int kOutputs = 8;
    static constexpr int kSize = 10;   // rows and columns of the relation, groups' member slots
    static constexpr int kGroups = 5;  // group records (numbered 1..5)
    enum class Mode { Create, Join };

    // A list row: column 0 (an ID in the left list, a group text in the right one) and the
    // output it names.
    struct Row {
        std::string col0;
        int output = 0;
        bool operator==(const Row &) const = default;
    };
    // A link group found at opening: members by output (entries 8 and 9 stay 0).
    struct GroupRecord {
        std::array<int, kSize> member{};
        bool Has(int output) const { return output >= 0 && output < kSize && member[std::size_t(output)] != 0; }
        bool Empty() const;
        int First() const;  // the lowest member, -1 for none
    };
    // What OK does: nothing (apply false), or the eight masks to write and the page notice.
    struct Apply {
        bool apply = false;
        std::array<int, kOutputs> masks{};
        int wParam = 0;
        int lParam = -1;
    };
    // A question of Add or of a group button: the message; returns IDYES, IDNO or another answer.
    using Ask = std::function<int(const std::string &message)>;

    // Opens for output `own` (0..7) with the eight strips' masks; captions in `chinese`.
    void Open(Mode mode, int own, const std::array<int, kOutputs> &masks, bool chinese);

    Mode GetMode() const { return m_mode; }
    int Own() const { return m_own; }
    const std::vector<Row> &Left() const { return m_left; }
    const std::vector<Row> &Right() const { return m_right; }
    const std::array<GroupRecord, kGroups> &Groups() const { return m_groups; }
    bool GroupUsed(int k) const { return k >= 1 && k <= kGroups && m_groupUsed[std::size_t(k - 1)] != 0; }
    bool Modified() const { return m_modified != 0; }
    const std::string &ChosenGroup() const { return m_chosen; }
    bool Relation(int i, int j) const;
    // Output i has a link to another output.
    bool HasRelation(int i) const;
    // The caption of an output's row: "通道%d" or "Channel%d" with the number 1..8.
    std::string Caption(int output) const;

    // The left rows selected after a click (indexes into Left()); other rows lose their flag.
    void SetLeftFlags(const std::vector<int> &selectedRows);
    bool LeftFlag(int row) const;

    // The buttons. Each does nothing while no left row is flagged (Reset: while not modified).
    void Add(const Ask &ask);
    void JoinGroup(int k, const Ask &ask);
    void Reset();
    // OK: what to write and post; nothing while not modified.
    Apply OnOK(const std::array<int, kOutputs> &masks) const;

private:
    void BuildGroups();
    void Fill();
    void SortRight();
    void Renumber();
    // The last group record in table order that holds the output, as a number 1..5, else 0.
    int LastGroupOf(int output) const;
    bool LeftShows(int output) const;
    // Flags more rows and records their outputs as the user answers; false when the step ended
    // early (an answer other than Yes or No).
    bool QuestionStep(const Ask &ask, std::array<bool, kOutputs> &recorded);
    void CleanLeftRelations(std::array<int, kOutputs> &masks) const;

    Mode m_mode = Mode::Create;
    int m_own = 0;
    bool m_chinese = false;
    std::array<int, kOutputs> m_ownMasks{};
    int m_rel[kSize][kSize]{};
    std::array<GroupRecord, kGroups> m_groups{};
    std::array<int, kGroups> m_groupUsed{};
    std::vector<Row> m_left, m_right;
    std::array<int, kSize> m_leftFlags{};
    int m_modified = 0;
    std::string m_chosen;
};
