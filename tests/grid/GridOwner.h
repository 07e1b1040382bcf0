#pragma once
// A grid's owner window for tests: records the grid's notifications and commands and answers the
// notifications as told. The application and the shared fonts exist before the window.

#include "grid/GridCtrl.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QCoreApplication>
#include <QSize>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

struct GridNote {
    int row, col, code;
    bool operator==(const GridNote &) const = default;
};

struct GridAppFirst {
    GridAppFirst()
    {
        QtTestApp();
        InitQtGlobals();
    }
};

class GridOwner : private GridAppFirst, public QWidget {
public:
    explicit GridOwner(QSize size)
    {
        resize(size);
        auto *table = CMessageTable::Ensure(this);
        table->On(WM_NOTIFY, [this](WPARAM w, LPARAM l) -> LRESULT {
            const auto *nm = reinterpret_cast<const GRID_CELL_NOTIFY *>(l);
            EXPECT_EQ(int(w), nm->hdr.idFrom);
            notes.push_back({nm->row, nm->col, nm->hdr.code});
            return answer(nm->hdr.code);
        });
        table->On(WM_COMMAND, [this](WPARAM w, LPARAM) -> LRESULT {
            commands.push_back(w);
            return 0;
        });
    }
    std::vector<GridNote> Of(int code)
    {
        QCoreApplication::processEvents();
        std::vector<GridNote> r;
        for (const GridNote &n : notes)
            if (n.code == code)
                r.push_back(n);
        return r;
    }
    std::vector<WPARAM> Commands()
    {
        QCoreApplication::processEvents();
        return commands;
    }
    void Clear()
    {
        QCoreApplication::processEvents();
        notes.clear();
        commands.clear();
    }
    std::vector<GridNote> notes;
    std::vector<WPARAM> commands;
    std::function<LRESULT(int)> answer = [](int) { return LRESULT(0); };
};
