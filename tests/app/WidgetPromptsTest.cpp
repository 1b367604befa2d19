#include "app/WidgetPrompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace cardolin;

namespace {

// Runs action on the modal dialog that the next call opens.
void WhenADialogOpens(const std::function<void(QWidget *)> &action)
{
    QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

TEST(WidgetPromptsTest, EscapeAtTheSaveQuestionCancels)
{
    app::WidgetPrompts prompts;
    WhenADialogOpens([](QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(prompts.AskYesNoCancel("Save?", "/home/ann/Contacts/ann.qcb"), UserPrompts::Choice::Cancel);
}

// Enter takes the answer the caller preselected: Yes unless told otherwise.
TEST(WidgetPromptsTest, EnterAtAYesNoCancelQuestionTakesThePreselectedAnswer)
{
    app::WidgetPrompts prompts;
    for (const auto preselected : {UserPrompts::Choice::Yes, UserPrompts::Choice::No}) {
        WhenADialogOpens([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
        EXPECT_EQ(prompts.AskYesNoCancel("Clear first?", QString(), preselected), preselected);
    }
    WhenADialogOpens([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(prompts.AskYesNoCancel("Save?", QString()), UserPrompts::Choice::Yes);
}

// The sign-in's code arrives while the box waits for the user to paste it.
TEST(WidgetPromptsTest, AnOfferedValueFillsTheOpenInputBox)
{
    app::WidgetPrompts prompts;
    WhenADialogOpens([&prompts](QWidget *box) {
        prompts.OfferInputText("4/0Ab-code");
        static_cast<QInputDialog *>(box)->accept();
    });
    QString value;
    EXPECT_TRUE(prompts.InputText("Google", "Code:", value));
    EXPECT_EQ(value, "4/0Ab-code");
    prompts.OfferInputText("ignored once the box is closed");
}

} // namespace
