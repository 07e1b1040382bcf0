#pragma once
// Stand-ins for the user interface and the settings file, for tests and for running the model and
// the link before the real view exists. All are thread-safe.

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

// Records every call of the view's operations as text, e.g. "QueueDeviceCommand(5,0)".
class CRecordingViewServices : public IViewServices {
public:
    std::vector<std::string> Calls() const;
    void Clear();
    // What the file operations and the save dialog answer.
    void SetFileResult(bool ok);

    void RefreshChannelAssignments() override;
    void RefreshFromImage() override;
    void ShowPresetNameLocalized() override;
    void RefreshInputPage() override;
    void SetInputSource(int sourceCode, int flag) override;
    bool SavePresetFile() override;
    bool LoadPresetFile() override;
    bool WriteAllPresetsFile() override;
    bool LoadAllPresetsFile() override;
    int OnChooseAllPresetsFile() override;
    void SaveDspMcuSettings() override;
    void QueueDeviceCommand(int systemCommand, int preset) override;
    void SetPendingBlock5(int flag) override;
    void SetPendingBlock2(int flag) override;
    void SetTransferMute(int flag) override;
    void ReadPresetFromDevice(int preset) override;
    void StorePresetToDevice(int preset, int fill) override;
    void RecallDevicePreset(int preset) override;
    void PushAllPresetsToDevice() override;
    void RequestAllPresets() override;
    void RestoreSpeakerTypes(int flag) override;
    void SendInputChannel(int input) override;
    void SendOutputChannelLinked(int output, int unused) override;
    void SendOutputChannel(int output) override;
    void SendOutputChannelState(int output) override;
    void SendSpeakerType(int output, int all) override;
    void CopyOutputChannel(int source, int target) override;
    void CopyOutputChannelEq(int source, int target) override;
    void CopyOutputChannelLimited(int source, int target) override;
    void ResetOutputEqLinked() override;
    void ResetInputEq(int input) override;
    void ReconnectLink() override;

private:
    void Record(std::string call);

    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    bool m_fileResult = true;
};
