#pragma once
// The main view connected to the simulated device behind the in-process HID transport, as a user
// finds it after the start: the device holds the program's own start-up values (flat bands,
// outputs sounding), the connection read is in, the transfer popup has gone and the view is the
// application's active window, so typed edits commit when they lose the focus.
//
//   struct MyE2E : ConnectedView {
//       void SetUp() override { ConnectedView::SetUp(); if (HasFatalFailure()) return; ... }
//   };

#include "app/VRX530View.h"

#include "controls/DisplayDlg.h"
#include "controls/NumEdit.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/ModeItemTable.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "protocol/CommandFrame.h"
#include "tests/platform/qt/QtTestApp.h"
#include "tests/sim/DeviceSim.h"
#include "tests/sim/SimHid.h"
#include "tests/support/TestDoubles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>

// Types a value into an edit as a user does: focus, select what is there, the keys, then `key`.
inline void TypeInto(QWidget *edit, const QString &text, Qt::Key key = Qt::Key_Return)
{
    edit->setFocus();
    QCoreApplication::processEvents();
    if (auto *line = qobject_cast<QLineEdit *>(edit))
        line->selectAll();
    else if (auto *number = qobject_cast<CNumEdit *>(edit))
        number->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, key);
    QCoreApplication::processEvents();
}

struct ConnectedView : ::testing::Test {
    static constexpr int kWait = 60000;  // bounds a failing wait only

    CMemorySettings settings;
    CScriptedMessageBox boxes;
    std::unique_ptr<ScopedMessageBoxService> scoped;
    zksim::Device dev;
    zksim::HidDevice hid{dev};
    std::unique_ptr<CKTV_Data> doc;
    std::unique_ptr<CVRX530View> view;

    void SetUp() override
    {
        QtTestApp();
        ResetDeviceImageGlobals();
        ResetLinkState();
        g_ModeItemTable.Init();  // as the program's start-up does
        g_bChinese = 0;
        g_nLinkMode = LINK_NONE;
        SetAppSettings(&settings);
        scoped = std::make_unique<ScopedMessageBoxService>(boxes);
        doc = std::make_unique<CKTV_Data>();
        doc->FillImage();
        {
            std::lock_guard lock(g_csImage);
            zksim::Image img{};
            std::copy(g_CurImage.bytes.begin(), g_CurImage.bytes.end(), img.begin());
            dev.SetCurrentImage(img);
        }
        view = std::make_unique<CVRX530View>(*doc, &hid);
        view->resize(1210, 700);
        view->show();
        view->activateWindow();
        (void)QTest::qWaitForWindowActive(view.get());
        view->Backend().Net().SetPinger([](const std::string &) { return false; });
        view->Controller().OnAutoConnect();
        WaitForConnectionRead();
    }

    // Waits until the connection read is in and the user can go on in the view.
    void WaitForConnectionRead()
    {
        ASSERT_TRUE(WaitUntil([] { return g_bDeviceOnline.load() && !g_bTransferring.load(); }, kWait));
        // The transfer popup keeps the view disabled until it shows its end text, and stays up a
        // moment longer; a window that the popup leaves active would take the keys and picks
        // meant for the view.
        ASSERT_TRUE(WaitUntil([&] {
            return view->isEnabled() && !view->TransferPopup()->isVisible() && !QApplication::activePopupWidget();
        }, kWait));
        view->activateWindow();
        ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == view.get(); }, kWait));
    }

    // Waits until the simulated device holds what `holds` looks for in it (its image, its system
    // blocks): what a user's action must cause, rather than a state of the program that can hold
    // before the value is written.
    template <class Holds>
    bool WaitForDevice(Holds holds)
    {
        return WaitUntil([&] { return holds(static_cast<const zksim::Device &>(dev)); }, kWait);
    }

    // Lets n status replies pile up in the view's queue, unhandled, as they do while the UI thread
    // is busy (a page being built, a short stall): returns once the device has answered n more
    // status requests than before, without running the event loop.
    void LetStatusRepliesPileUp(int n)
    {
        const auto statusRequests = [&] {
            int count = 0;
            for (const zksim::Frame &f : dev.Requests())
                count += f.type == OBJ_SYSTEM && f.channel == SYS_STATUS;
            return count;
        };
        // The worker sends a request only after the reply to the one before was parsed and posted.
        const int until = statusRequests() + n + 1;
        QElapsedTimer t;
        t.start();
        while (statusRequests() < until && t.elapsed() < kWait)
            QThread::yieldCurrentThread();
    }

    void TearDown() override
    {
        if (view)
            view->Shutdown();
        view.reset();
        doc.reset();
        scoped.reset();
        SetAppSettings(nullptr);
    }
};
