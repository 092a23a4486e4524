// Whatever the service sends, the commands end as their rules say and nothing breaks.
// CTest runs this program in a Japanese locale (ANSI code page 932, double-byte).
#include "service/internet_error.h"
#include "service/settings_registry.h"
#include "service/user_settings.h"
#include "sessions/session_store.h"

#include "fake_service_control.h"
#include "message_box_catcher.h"
#include "reply_script.h"

#include "winfx/win_app.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The internet error box is the application's message box.
CWinApp theApp;

using Entries = std::vector<SessionEntry>;

const Entries kListed = {{"listed", "100"}};

std::string Record(const std::string& name, const std::string& pin)
{
    return "<record><MEETING_NAME>" + name + "</MEETING_NAME><MEETING_PIN>" + pin + "</MEETING_PIN></record>\r\n";
}

class ServiceGarbageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::GetACP(), 932u) << "run in a Japanese locale (LC_ALL=ja_JP.UTF-8)";
        WriteRegistryString("server", m_service.Address());
    }
    void TearDown() override { WriteRegistryString("server", ""); }

    // Imports the reply into a host list that holds kListed; the list the file then holds.
    Entries ImportFrom(const std::string& body)
    {
        m_service.Script(JsonBody(body));
        EXPECT_TRUE(WriteSessionFile(kHostSessionFile, kListed));
        SessionTablePtr hostSessions;
        DWORD unread = ERROR_SUCCESS;
        m_settings.GetPlannedSessions(hostSessions, unread);
        SessionTablePtr written = ReadSessionFile(kHostSessionFile);
        EXPECT_TRUE(hostSessions && written);
        if (!hostSessions || !written)
            return {};
        EXPECT_EQ(Entries(hostSessions->begin(), hostSessions->end()), Entries(written->begin(), written->end()));
        return Entries(written->begin(), written->end());
    }

    FakeServiceControl m_service;
    MessageBoxCatcher m_boxes;
    CUserSettings m_settings;
};

TEST_F(ServiceGarbageTest, EveryReplyEndsAsTheRulesSay)
{
    std::mt19937 random(20261207);
    for (int reply = 0; reply < 8; ++reply) {
        std::string bytes(1 + random() % 6000, '\0');
        for (char& byte : bytes)
            byte = char(random());
        EXPECT_EQ(ImportFrom(bytes), kListed) << "random reply " << reply;
        EXPECT_EQ(kLoginAccepted, m_settings.ValidateLogin("n", "e@x.example", "pw")) << "random reply " << reply;
    }

    // A hundred thousand records: the list fills up and keeps the first ones.
    std::string many = "<records>\r\n";
    for (int i = 0; i < 100000; ++i)
        many += Record("planned " + std::to_string(i), std::to_string(200000 + i));
    const Entries full = ImportFrom(many + "</records>\r\n");
    ASSERT_EQ(full.size(), kMaxSessions);
    EXPECT_EQ(full[0], kListed[0]);
    EXPECT_EQ(full[1], (SessionEntry{"planned 0", "200000"}));
    EXPECT_EQ(full.back(), (SessionEntry{"planned 47", "200047"}));

    // Records without their closing tags, and records without the closing list tag.
    EXPECT_EQ(ImportFrom("<records><record><MEETING_NAME>a</MEETING_NAME><MEETING_PIN>1</MEETING_PIN>"
                         "<record><MEETING_NAME>b</MEETING_NAME><MEETING_PIN>2</MEETING_PIN></records>"),
              kListed);
    EXPECT_EQ(ImportFrom("<records>" + Record("a", "1") + Record("b", "2")), kListed);
    // Values without closing tags are empty: an entry without a Description marks the end.
    EXPECT_EQ(ImportFrom("<records><record><MEETING_NAME>a<MEETING_PIN>1</record></records>"), kListed);

    // Shift-JIS text, trail bytes equal to '|' and '\\' among it, travels byte for byte.
    const std::string japanese = "\x83\x7c\x95\x5c\x8e\xa6";
    EXPECT_EQ(ImportFrom("<records>" + Record(japanese, "\x83\x43") + "</records>"),
              (Entries{kListed[0], {japanese, "\x83\x43"}}));
    EXPECT_EQ(kLoginAccepted, m_settings.ValidateLogin("n", "e@x.example", "pw"));
    m_service.Script(JsonBody("<skin>" + japanese + "</skin>"));
    EXPECT_EQ(kLoginAccepted, m_settings.ValidateLogin("n", "e@x.example", "pw"));
    EXPECT_EQ(japanese, ReadRegistryString("skin"));

    EXPECT_TRUE(m_boxes.Boxes().empty()) << "every reply had status 200";
}

} // namespace
