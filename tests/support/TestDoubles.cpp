#include "tests/support/TestDoubles.h"

#include <algorithm>

// ---- CRecordingMessageTarget ---------------------------------------------------------------------

void CRecordingMessageTarget::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({msg, wParam, lParam});
    }
    m_cv.notify_all();
}

std::vector<CRecordingMessageTarget::Message> CRecordingMessageTarget::Messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<CRecordingMessageTarget::Message> CRecordingMessageTarget::MessagesOf(unsigned msg) const
{
    std::lock_guard lock(m_mutex);
    std::vector<Message> out;
    std::copy_if(m_messages.begin(), m_messages.end(), std::back_inserter(out),
                 [msg](const Message &m) { return m.msg == msg; });
    return out;
}

int CRecordingMessageTarget::Count(unsigned msg) const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(
        std::count_if(m_messages.begin(), m_messages.end(), [msg](const Message &m) { return m.msg == msg; }));
}

void CRecordingMessageTarget::Clear()
{
    std::lock_guard lock(m_mutex);
    m_messages.clear();
}

bool CRecordingMessageTarget::WaitFor(unsigned msg, int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, timeout, [&] {
        return std::count_if(m_messages.begin(), m_messages.end(), [msg](const Message &m) { return m.msg == msg; }) >=
               count;
    });
}

// ---- CScriptedMessageBox -------------------------------------------------------------------------

void CScriptedMessageBox::PushAnswer(int answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

int CScriptedMessageBox::ShowMessage(const std::string &text, unsigned type, int code)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back({text, type, code});
    if (m_answers.empty())
        return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::vector<CScriptedMessageBox::Box> CScriptedMessageBox::Shown() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

void CScriptedMessageBox::Clear()
{
    std::lock_guard lock(m_mutex);
    m_shown.clear();
    m_answers.clear();
}

// ---- CMemorySettings -----------------------------------------------------------------------------

std::optional<std::string> CMemorySettings::Read(std::string_view group, std::string_view key) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(std::pair{std::string(group), std::string(key)});
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

bool CMemorySettings::Write(std::string_view group, std::string_view key, std::string_view value)
{
    std::lock_guard lock(m_mutex);
    if (m_failWrites || group.empty() || key.empty())
        return false;
    m_values[std::pair{std::string(group), std::string(key)}] = std::string(value);
    return true;
}

bool CMemorySettings::Remove(std::string_view group, std::string_view key)
{
    std::lock_guard lock(m_mutex);
    if (m_failWrites)
        return false;
    m_values.erase(std::pair{std::string(group), std::string(key)});
    return true;
}

std::vector<std::string> CMemorySettings::Keys(std::string_view group) const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> keys;
    for (const auto &[groupKey, value] : m_values)
        if (groupKey.first == group)
            keys.push_back(groupKey.second);
    return keys;
}

bool CMemorySettings::RemoveGroup(std::string_view group)
{
    std::lock_guard lock(m_mutex);
    if (m_failWrites)
        return false;
    std::erase_if(m_values, [&](const auto &entry) { return entry.first.first == group; });
    return true;
}

void CMemorySettings::SetFailWrites(bool fail)
{
    std::lock_guard lock(m_mutex);
    m_failWrites = fail;
}
