// The application-wide look of what the program leaves to the system: dark, and readable.
#include "controls/ConsoleStyle.h"

#include "res/Skins.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(ConsolePalette, SystemDialogsTakeTheDarkConsoleColours)
{
    QApplication &app = QtTestApp();
    ApplyConsolePalette(app);
    QDialog dlg;  // a dialog the program does not style itself
    QLineEdit edit(&dlg);
    QPushButton button(QStringLiteral("OK"), &dlg);
    for (const QWidget *w : {static_cast<const QWidget *>(&dlg), static_cast<const QWidget *>(&edit),
                             static_cast<const QWidget *>(&button)}) {
        const QPalette &p = w->palette();
        EXPECT_LT(p.color(QPalette::Window).lightness(), 80) << "no light system grey";
        EXPECT_LT(p.color(QPalette::Base).lightness(), 80);
        for (auto [text, back] : {std::pair{QPalette::WindowText, QPalette::Window}, std::pair{QPalette::Text, QPalette::Base},
                                  std::pair{QPalette::ButtonText, QPalette::Button},
                                  std::pair{QPalette::HighlightedText, QPalette::Highlight}})
            EXPECT_GE(Skins::Contrast(p.color(text), p.color(back)), Skins::MinTextContrast) << int(text);
    }
    // What is grabbed is dark too: the style draws with the palette.
    dlg.resize(200, 80);
    edit.setGeometry(10, 10, 180, 24);
    const QImage img = dlg.grab().toImage();
    EXPECT_LT(img.pixelColor(100, 60).lightness(), 80);
    EXPECT_LT(img.pixelColor(100, 22).lightness(), 80) << "the edit's field";
}
