#pragma once
// The application object: runs the program's start-up in its order, the event loop and the
// tear-down, and shows every message box of the program as its own skinned box.
//
// Start-up (InitInstance), in order: the command line ("RegServer" or "UnregServer" after "-" or
// "/" as its last text ends the program at once); the pixel-exact UI environment; the application
// (fontconfig's configuration is read on a thread meanwhile) with its palette and message-box
// service; the link tables cleared; the start-up defaults of the parameter state; the shared fonts
// and brush; the language from the session's locale (Chinese for zh_CN, else English; the view's
// saved choice overrides it); the network settings; the document, the main window, its child frame
// and the main view, whose initial update runs before the window shows; then the window is shown.
// main() is one call of Run().

#include "platform/HeapReserve.h"
#include "platform/qt/FontconfigWarmup.h"

#include <QString>

#include <memory>
#include <string>
#include <string_view>

class CMainFrame;
class CTerminationHandler;
class CVRX530Doc;
class CVRX530View;
class IHidBackend;
class QApplication;
class QWidget;

class CVRX530App {
public:
    CVRX530App();
    ~CVRX530App();
    CVRX530App(const CVRX530App &) = delete;
    CVRX530App &operator=(const CVRX530App &) = delete;

    // The whole program: start-up, the event loop, the tear-down. The process's exit code.
    int Run(int argc, char **argv);

    // Start-up once the QApplication exists; false ends the program before the event loop.
    bool InitInstance();
    // Tear-down after the event loop: the link stops. Returns the exit code given.
    int ExitInstance(int code);

    // Shows the program's message box with the help id as its display code; the button's result.
    int DoMessageBox(const std::string &prompt, unsigned type, int helpId);

    // The first link-group index 0..9 not in use; 0 when all ten are.
    static int FindFreeSlot();

    // True when the command line (program path included) ends in "-" or "/" followed by
    // "RegServer" or "UnregServer", in any letter case: the program then ends at once.
    static bool IsRegistrationSwitch(std::string_view commandLine);
    // True for the locale names of Chinese as used in mainland China (zh_CN with any codeset or
    // modifier), the locale whose Windows identifier is 0x0804.
    static bool IsChinesePrcLocale(std::string_view localeName);
    // The session's locale for messages: LC_ALL, else LC_MESSAGES, else LANG (the first one set).
    static std::string SessionLocale();

    // Where USB devices come from (null: the system's hidapi). Set before InitInstance; tests only.
    void SetHidBackend(IHidBackend *hid) { m_hid = hid; }

    CMainFrame *MainFrame() const { return m_frame; }
    CVRX530View *View() const { return m_view; }
    CVRX530Doc *Document() const { return m_doc.get(); }

private:
    QWidget *CreateMainView(QWidget *parent);

    IHidBackend *m_hid = nullptr;
    std::unique_ptr<CVRX530Doc> m_doc;
    CMainFrame *m_frame = nullptr;  // owned here (deleted in ExitInstance)
    CVRX530View *m_view = nullptr;  // owned by its child frame
    std::unique_ptr<CTerminationHandler> m_termination;
    CFontconfigWarmup m_fontconfig;  // started by Run, waited for before the first font
    CStartupHeapReserve m_startupHeap;  // taken by Run, released at the first frame
};

// The one application object.
extern CVRX530App theApp;
