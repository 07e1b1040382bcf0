#include "panels/input/LinkEditor.h"

#include "platform/WinCompat.h"
#include "res/Strings.h"

#include <algorithm>

namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

bool CLinkEditor::GroupRecord::Empty() const { return First() < 0; }

int CLinkEditor::GroupRecord::First() const
{
    for (int i = 0; i < kSize; ++i)
        if (member[At(i)])
            return i;
    return -1;
}

void CLinkEditor::Open(Mode mode, int own, const std::array<int, kOutputs> &masks, bool chinese)
{
    m_mode = mode;
    m_own = std::clamp(own, 0, kOutputs - 1);
    m_chinese = chinese;
    m_ownMasks = masks;
    m_leftFlags = {};
    m_groups = {};
    m_groupUsed = {};
    m_modified = 0;
    for (int i = 0; i < kSize; ++i)
        for (int j = 0; j < kSize; ++j)
            m_rel[i][j] = i < kOutputs && j < kOutputs && ((masks[At(i)] >> j) & 1) ? 1 : 0;
    BuildGroups();
    Fill();
    m_chosen.clear();
}

bool CLinkEditor::Relation(int i, int j) const
{
    return i >= 0 && i < kSize && j >= 0 && j < kSize && m_rel[i][j] != 0;
}

bool CLinkEditor::HasRelation(int i) const
{
    for (int j = 0; j < kSize; ++j)
        if (j != i && Relation(i, j))
            return true;
    return false;
}

std::string CLinkEditor::Caption(int output) const
{
    return TrArgs(StrId::LinkDlgChannel, m_chinese, {std::to_string(output + 1)});
}

void CLinkEditor::BuildGroups()
{
    int n = 0;
    for (int i = 0; i < kOutputs && n < kGroups; ++i) {
        if (!HasRelation(i))
            continue;
        if (std::any_of(m_groups.begin(), m_groups.end(), [i](const GroupRecord &g) { return g.Has(i); }))
            continue;
        for (int j = 0; j < kSize; ++j)
            m_groups[At(n)].member[At(j)] = m_rel[i][j];
        ++n;
    }
}

int CLinkEditor::LastGroupOf(int output) const
{
    int last = 0;
    for (int k = 0; k < kGroups; ++k)
        if (m_groups[At(k)].Has(output))
            last = k + 1;
    return last;
}

void CLinkEditor::Fill()
{
    m_left.clear();
    m_right.clear();
    auto addLeft = [this](int i) { m_left.push_back({std::to_string(m_left.size() + 1), i}); };
    if (m_mode == Mode::Create) {
        const int m = m_ownMasks[At(m_own)];
        if (HasRelation(m_own)) {
            const std::string group = std::to_string(LastGroupOf(m_own));
            for (int i = 0; i < kOutputs; ++i) {
                if ((m >> i) & 1)
                    m_right.push_back({group, i});
                else
                    addLeft(i);
            }
        } else {
            m_right.push_back({"1", m_own});
            for (int i = 0; i < kOutputs; ++i)
                if (i != m_own)
                    addLeft(i);
        }
        return;
    }
    for (int i = 0; i < kOutputs; ++i) {
        if (!HasRelation(i)) {
            if (i == m_own)
                addLeft(i);
            continue;
        }
        if (Relation(i, m_own)) {
            addLeft(i);
            continue;
        }
        const int last = LastGroupOf(i);
        m_right.push_back({std::to_string(last ? last : -1), i});
        for (int k = 0; k < kGroups; ++k)
            if (m_groups[At(k)].Has(i))
                m_groupUsed[At(k)] = 1;
    }
    SortRight();
}

void CLinkEditor::SortRight()
{
    // By group text, then by output; a group -1 sorts before group 1.
    const int n = int(m_right.size());
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n - j; ++i) {
            Row &a = m_right[At(i)], &b = m_right[At(i + 1)];
            if (a.col0 > b.col0 || (a.col0 == b.col0 && b.output < a.output))
                std::swap(a, b);
        }
    }
}

void CLinkEditor::Renumber()
{
    for (std::size_t r = 0; r < m_left.size(); ++r)
        m_left[r].col0 = std::to_string(r + 1);
}

void CLinkEditor::SetLeftFlags(const std::vector<int> &selectedRows)
{
    m_leftFlags = {};
    for (int r : selectedRows)
        if (r >= 0 && r < int(m_left.size()) && r < kSize)
            m_leftFlags[At(r)] = 1;
}

bool CLinkEditor::LeftFlag(int row) const { return row >= 0 && row < kSize && m_leftFlags[At(row)] != 0; }

bool CLinkEditor::LeftShows(int output) const
{
    return std::any_of(m_left.begin(), m_left.end(), [output](const Row &r) { return r.output == output; });
}

bool CLinkEditor::QuestionStep(const Ask &ask, std::array<bool, kOutputs> &recorded)
{
    for (std::size_t r = 0; r < m_left.size() && r < At(kSize); ++r) {
        const int output = m_left[r].output;
        if (!m_leftFlags[r] || !HasRelation(output))
            continue;
        // The other members of the row's groups that the left list shows unflagged.
        std::vector<std::size_t> others;
        for (const GroupRecord &g : m_groups) {
            if (!g.Has(output))
                continue;
            for (std::size_t o = 0; o < m_left.size() && o < At(kSize); ++o) {
                const int other = m_left[o].output;
                if (other != output && g.Has(other) && !m_leftFlags[o] &&
                    std::find(others.begin(), others.end(), o) == others.end())
                    others.push_back(o);
            }
        }
        if (others.empty())
            continue;
        std::string message = Caption(output) + Tr(StrId::LinkDlgWith, m_chinese);
        for (std::size_t o : others)
            message += Caption(m_left[o].output) + " ";
        message += Tr(StrId::LinkDlgAskAdd, m_chinese);
        const int answer = ask ? ask(message) : IDNO;
        if (answer == IDYES) {
            for (std::size_t o : others) {
                m_leftFlags[o] = 1;
                recorded[At(m_left[o].output)] = true;
            }
        } else if (answer != IDNO) {
            return false;
        }
    }
    return true;
}

void CLinkEditor::Add(const Ask &ask)
{
    if (m_mode != Mode::Create || std::none_of(m_leftFlags.begin(), m_leftFlags.end(), [](int f) { return f != 0; }))
        return;
    std::array<bool, kOutputs> recorded{};
    for (std::size_t r = 0; r < m_left.size(); ++r)
        if (m_leftFlags[r])
            recorded[At(m_left[r].output)] = true;
    if (QuestionStep(ask, recorded)) {
        for (const Row &row : m_right)
            recorded[At(row.output)] = true;
        const std::string group = m_right.empty() ? std::string("1") : m_right.front().col0;
        m_right.clear();
        std::vector<Row> left;
        for (std::size_t r = 0; r < m_left.size(); ++r)
            if (!m_leftFlags[r])
                left.push_back(m_left[r]);
        m_left = std::move(left);
        for (int i = 0; i < kOutputs; ++i)
            if (recorded[At(i)])
                m_right.push_back({group, i});
        m_leftFlags = {};
    }
    Renumber();
    m_modified = 1;
}

void CLinkEditor::JoinGroup(int k, const Ask &ask)
{
    if (m_mode != Mode::Join || k < 1 || k > kGroups ||
        std::none_of(m_leftFlags.begin(), m_leftFlags.end(), [](int f) { return f != 0; }))
        return;
    m_chosen = std::to_string(k);
    std::array<bool, kOutputs> recorded{};
    for (std::size_t r = 0; r < m_left.size(); ++r)
        if (m_leftFlags[r])
            recorded[At(m_left[r].output)] = true;
    if (!QuestionStep(ask, recorded))
        return;
    for (int i = 0; i < kOutputs; ++i)
        if (recorded[At(i)])
            m_right.push_back({m_chosen, i});
    std::vector<Row> left;
    for (std::size_t r = 0; r < m_left.size(); ++r)
        if (!m_leftFlags[r])
            left.push_back(m_left[r]);
    m_left = std::move(left);
    m_leftFlags = {};
    SortRight();
    m_modified = 1;
}

void CLinkEditor::Reset()
{
    if (!m_modified)
        return;
    m_leftFlags = {};
    m_groups = {};
    m_groupUsed = {};
    BuildGroups();
    Fill();
    m_chosen.clear();
    m_modified = 0;
}

void CLinkEditor::CleanLeftRelations(std::array<int, kOutputs> &masks) const
{
    // An output left behind no longer names the moved outputs in its mask.
    for (const Row &row : m_left) {
        const int c = row.output;
        for (int f = 0; f < kOutputs; ++f)
            if (f != c && Relation(c, f) && !LeftShows(f))
                masks[At(c)] &= ~(1 << f);
    }
}

CLinkEditor::Apply CLinkEditor::OnOK(const std::array<int, kOutputs> &current) const
{
    Apply result;
    if (!m_modified)
        return result;
    result.masks = current;
    int mask = 0;
    if (m_mode == Mode::Create) {
        CleanLeftRelations(result.masks);
        for (const Row &row : m_right)
            mask |= 1 << row.output;
        result.wParam = m_own;
        result.lParam = -1;
    } else {
        const int k = m_chosen.empty() ? 0 : std::stoi(m_chosen);
        const int first = k >= 1 && k <= kGroups ? m_groups[At(k - 1)].First() : -1;
        if (first < 0 || first >= kOutputs)
            return result;
        CleanLeftRelations(result.masks);
        for (const Row &row : m_right)
            if (row.col0 == m_chosen)
                mask |= 1 << row.output;
        result.wParam = first;
        result.lParam = m_own;
    }
    for (int i = 0; i < kOutputs; ++i)
        if ((mask >> i) & 1)
            result.masks[At(i)] = mask;
    result.apply = true;
    return result;
}
