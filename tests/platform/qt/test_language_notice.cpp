#include "platform/qt/Language.h"
#include "tests/platform/qt/QtTestApp.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

// A label that counts the notices it hears and shows the prompt word of the language.
class CountingLabel : public QLabel {
public:
    using QLabel::QLabel;
    int notices = 0;

protected:
    void changeEvent(QEvent *e) override
    {
        if (e->type() == QEvent::LanguageChange) {
            ++notices;
            setText(QTr(StrId::Prompt));
        }
        QLabel::changeEvent(e);
    }
};

struct LanguageGuard {
    int saved = g_bChinese.load();
    ~LanguageGuard() { g_bChinese.store(saved); }
};

}  // namespace

TEST(LanguageNotice, EveryWindowAndChildHearsEachChangeOnce)
{
    QtTestApp();
    LanguageGuard guard;
    g_bChinese.store(0);

    QWidget top;
    auto *inTop = new CountingLabel(&top);
    auto *dialog = new QDialog(&top);  // a window with a parent: reached through it
    auto *inDialog = new CountingLabel(dialog);
    QWidget hiddenOther;                  // never shown: still told
    auto *inOther = new CountingLabel(&hiddenOther);
    top.show();
    dialog->show();

    EXPECT_TRUE(SetUiLanguage(true));
    EXPECT_EQ(g_bChinese.load(), 1);
    for (CountingLabel *l : {inTop, inDialog, inOther}) {
        EXPECT_EQ(l->notices, 1);
        EXPECT_EQ(l->text(), QStringLiteral("提示"));
    }

    EXPECT_FALSE(SetUiLanguage(true));  // no change, no notice
    EXPECT_EQ(inTop->notices, 1);

    EXPECT_TRUE(SetUiLanguage(false));
    for (CountingLabel *l : {inTop, inDialog, inOther}) {
        EXPECT_EQ(l->notices, 2);
        EXPECT_EQ(l->text(), QStringLiteral("Prompting"));
    }
}

TEST(LanguageNotice, AHandlerMayCloseAnotherWindow)
{
    QtTestApp();
    LanguageGuard guard;
    g_bChinese.store(0);

    auto *doomed = new QWidget;
    doomed->setAttribute(Qt::WA_DeleteOnClose);
    class Closer : public QWidget {
    public:
        QWidget *target = nullptr;

    protected:
        void changeEvent(QEvent *e) override
        {
            if (e->type() == QEvent::LanguageChange && target) {
                delete target;
                target = nullptr;
            }
            QWidget::changeEvent(e);
        }
    };
    Closer closer;
    closer.target = doomed;
    EXPECT_TRUE(SetUiLanguage(true));
    EXPECT_TRUE(SetUiLanguage(false));
}
