// The mail hand-off through a recording xdg-email placed first on PATH: this
// machine has no mail program to open a compose window in.
#include "converter/core/CMailMessage.h"
#include "converter/core/StringTable.h"
#include "platform/MailSystem.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace folyant;
using namespace folyant::converter;
using folyant::test::TempFolder;

namespace {

class MailTest : public ::testing::Test {
protected:
    MailTest()
    {
        m_oldPath = std::getenv("PATH");
        setenv("PATH", bin.path().c_str(), 1);
    }
    ~MailTest() override { setenv("PATH", m_oldPath.c_str(), 1); }

    // A stand-in that records its arguments and then runs tail.
    void installMailProgram(const std::string& tail = "exit 0\n")
    {
        test::writeScript(bin.file("xdg-email"), "printf '%s\\0' \"$@\" > '" + record() + "'\n" + tail);
    }
    std::string record() const { return work.file("record"); }

    std::vector<std::string> handOff(const std::string& pdf)
    {
        CMailMessage mail(system, messages);
        mail.m_message.subject = mailSubjectFor(pdf);
        mail.AddAttachment(pdf);
        mail.m_note.clear();
        EXPECT_TRUE(mail.Send(MAPI_LOGON_UI));
        EXPECT_EQ(mail.m_message.files.at(0).nPosition, 0);
        return test::recordedWords(record());
    }

    TempFolder bin;
    TempFolder work;
    XdgEmail system;
    test::RecordingMessageBox messages;

private:
    std::string m_oldPath;
};

TEST_F(MailTest, SubjectIsTheNameWithoutItsLastExtension)
{
    EXPECT_EQ(mailSubjectFor("/home/u/annual.report.pdf"), "annual.report");
    EXPECT_EQ(mailSubjectFor("plain"), "plain");
    EXPECT_EQ(mailSubjectFor("/a.b/c"), "c");
}

TEST_F(MailTest, HandsTheMessageToTheMailProgram)
{
    installMailProgram();
    const std::string pdf = work.file("annual.report.pdf");
    EXPECT_EQ(handOff(pdf),
        (std::vector<std::string>{"--utf8", "--subject", "annual.report", "--body", " ", "--attach", pdf}));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MailTest, EveryAttachmentGetsABlankOfItsOwn)
{
    installMailProgram();
    CMailMessage mail(system, messages);
    mail.m_note = "Hello";
    mail.AddAttachment("/a.pdf");
    mail.AddAttachment("/b.pdf", "b");
    EXPECT_TRUE(mail.Send(MAPI_LOGON_UI));
    EXPECT_EQ(mail.m_message.noteText, "Hello  ");
    EXPECT_EQ(mail.m_message.files[0].nPosition, 5);
    EXPECT_EQ(mail.m_message.files[1].nPosition, 6);
    EXPECT_EQ(mail.m_message.originator, &mail.m_originator);
    EXPECT_TRUE(mail.m_message.recips.empty());
}

TEST_F(MailTest, HostileNamesArriveAsSingleArgumentsUnchanged)
{
    installMailProgram();
    const std::vector<std::string> names
        = {"with blanks.pdf", "quote\"s and 'single'.pdf", "$(touch pwned).pdf", "-leading dash.pdf",
            "semi;colon & amp | pipe.pdf", "new\nline.pdf", "`backtick`.pdf"};
    for (const std::string& name : names) {
        const std::string pdf = work.file(name);
        const auto words = handOff(pdf);
        ASSERT_EQ(words.size(), 7u) << name;
        EXPECT_EQ(words[2], mailSubjectFor(pdf));
        EXPECT_EQ(words[6], pdf);
    }
    EXPECT_FALSE(test::fileExists(work.file("pwned")));
    EXPECT_FALSE(test::fileExists("pwned"));
}

// A mail program that is missing, or cannot send, is said once, when the
// mail is made; nothing is sent.
TEST_F(MailTest, AMailProgramThatCannotSendIsSaidOnceAndNothingRuns)
{
    struct Case {
        const char* program; // the xdg-email on PATH; none
        int status;
        int said;
    };
    const Case cases[] = {
        {nullptr, CMailMessage::kNotLoaded, strings::kMailNotLoaded},
        {"#!/bin/sh\nexit 0\n", CMailMessage::kNoSendEntry, strings::kMailNotUsable},
    };
    for (const Case& c : cases) {
        messages.texts.clear();
        if (c.program)
            test::writeFile(bin.file("xdg-email"), c.program);
        CMailMessage mail(system, messages);
        EXPECT_EQ(mail.m_status, c.status);
        EXPECT_EQ(messages.texts, std::vector<std::string>{loadString(c.said)});
        mail.AddAttachment("/x.pdf");
        EXPECT_FALSE(mail.Send(MAPI_LOGON_UI));
        EXPECT_EQ(messages.texts.size(), 1u);
    }
}

TEST_F(MailTest, FailureShowsItsPromptCancellationNothing)
{
    installMailProgram("exit 4\n");
    {
        CMailMessage mail(system, messages);
        mail.AddAttachment("/x.pdf");
        EXPECT_FALSE(mail.Send(MAPI_LOGON_UI));
        EXPECT_EQ(messages.texts, std::vector<std::string>{loadString(strings::kMailFailed)});
    }
    messages.texts.clear();
    installMailProgram("kill -INT $$\n");
    CMailMessage mail(system, messages);
    mail.AddAttachment("/x.pdf");
    EXPECT_TRUE(mail.Send(MAPI_LOGON_UI));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MailTest, EachHandOffLooksForTheProgramAnew)
{
    installMailProgram();
    {
        CMailMessage mail(system, messages);
        EXPECT_EQ(CMailMessage::loadedProgram(), bin.file("xdg-email"));
    }
    EXPECT_EQ(CMailMessage::loadedProgram(), std::nullopt);
    std::remove(bin.file("xdg-email").c_str());
    CMailMessage mail(system, messages);
    EXPECT_EQ(mail.m_status, CMailMessage::kNotLoaded) << "gone since the last hand-off";
}

} // namespace
