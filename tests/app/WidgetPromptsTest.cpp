#include "app/WidgetPrompts.h"
#include "app/dialogs/GoogleSignInDialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

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

// Without a browser the sign-in box itself shows where to sign in.
TEST(WidgetPromptsTest, TheSignInBoxShowsTheAddressToCopyOrOpenAndTakesTheOfferedCode)
{
    app::WidgetPrompts prompts;
    QStringList calls;
    bool opens = false;
    const UserPrompts::SignInPage page{"https://accounts.example/o/oauth2/auth?client_id=x",
                                       [&] {
                                           calls << "open";
                                           return opens;
                                       },
                                       [&] { calls << "copy"; }};
    WhenADialogOpens([&](QWidget *widget) {
        auto *box = qobject_cast<app::GoogleSignInDialog *>(widget);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->AddressEdit()->text(), page.address);
        EXPECT_TRUE(box->AddressEdit()->isReadOnly());
        box->OpenButton()->click();
        EXPECT_TRUE(box->NoteText().contains("No web browser")) << box->NoteText().toStdString();
        opens = true;
        box->OpenButton()->click();
        box->CopyButton()->click();
        EXPECT_TRUE(box->NoteText().contains("copied"));
        auto *ok = box->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        EXPECT_FALSE(ok->isEnabled()); // no code yet
        prompts.OfferInputText("4/0Ab-code");
        EXPECT_EQ(box->CodeEdit()->text(), "4/0Ab-code");
        ok->click();
    });
    QString code;
    EXPECT_TRUE(prompts.InputSignInCode("Google Authorization Code", page, code));
    EXPECT_EQ(code, "4/0Ab-code");
    EXPECT_EQ(calls, QStringList({"open", "open", "copy"}));

    WhenADialogOpens([](QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); });
    QString cancelled = "kept";
    EXPECT_FALSE(prompts.InputSignInCode("Google Authorization Code", page, cancelled));
    EXPECT_EQ(cancelled, "kept");
}

} // namespace
