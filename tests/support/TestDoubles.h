#pragma once
// Stand-ins for the user interface and the settings file, for the tests and the benchmarks. All
// are thread-safe.

#include "platform/Settings.h"
#include "platform/ViewServices.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// Records every posted message.
class CRecordingMessageTarget : public IMessageTarget {
public:
    struct Message {
        unsigned msg;
        WPARAM wParam;
        LPARAM lParam;
        bool operator==(const Message &) const = default;
    };

    void PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) override;

    std::vector<Message> Messages() const;
    // Messages with this number, in the order they were posted.
    std::vector<Message> MessagesOf(unsigned msg) const;
    int Count(unsigned msg) const;
    void Clear();
    // Waits until at least `count` messages with this number arrived; false when the time ran out.
    bool WaitFor(unsigned msg, int count = 1, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::vector<Message> m_messages;
};

// Answers message boxes from a script and records what was shown. With the script empty it
// answers IDOK to an MB_OK box and IDCANCEL otherwise.
class CScriptedMessageBox : public IMessageBoxService {
public:
    struct Box {
        std::string text;
        unsigned type;
        int code;
    };

    void PushAnswer(int answer);
    int ShowMessage(const std::string &text, unsigned type, int code) override;
    std::vector<Box> Shown() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::deque<int> m_answers;
    std::vector<Box> m_shown;
};

// Installs a message-box service for the lifetime of the object, then removes it.
class ScopedMessageBoxService {
public:
    explicit ScopedMessageBoxService(IMessageBoxService &service) { SetMessageBoxService(&service); }
    ~ScopedMessageBoxService() { SetMessageBoxService(nullptr); }
    ScopedMessageBoxService(const ScopedMessageBoxService &) = delete;
    ScopedMessageBoxService &operator=(const ScopedMessageBoxService &) = delete;
};

// Settings kept in memory.
class CMemorySettings : public ISettings {
public:
    std::optional<std::string> Read(std::string_view group, std::string_view key) const override;
    bool Write(std::string_view group, std::string_view key, std::string_view value) override;
    bool Remove(std::string_view group, std::string_view key) override;
    std::vector<std::string> Keys(std::string_view group) const override;
    bool RemoveGroup(std::string_view group) override;
    // Makes every following Write fail (a full disk, a read-only folder).
    void SetFailWrites(bool fail);

private:
    mutable std::mutex m_mutex;
    std::map<std::pair<std::string, std::string>, std::string, std::less<>> m_values;
    bool m_failWrites = false;
};

// Installs a settings store for the lifetime of the object, then returns to the file.
class ScopedAppSettings {
public:
    explicit ScopedAppSettings(ISettings &settings) { SetAppSettings(&settings); }
    ~ScopedAppSettings() { SetAppSettings(nullptr); }
    ScopedAppSettings(const ScopedAppSettings &) = delete;
    ScopedAppSettings &operator=(const ScopedAppSettings &) = delete;
};
