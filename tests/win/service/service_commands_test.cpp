// validateLogin and getPlannedSessions against the fake service, with the settings key
// and the host list file of this test's working directory.
#include "service/http_get.h"
#include "service/internet_error.h"
#include "service/md5.h"
#include "service/settings_registry.h"
#include "service/user_settings.h"
#include "sessions/session_file_codec.h"
#include "sessions/session_store.h"

#include "fake_service_control.h"
#include "message_box_catcher.h"
#include "registry_write_recorder.h"
#include "reply_script.h"

#include "winfx/win_app.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// The internet error box is the application's message box.
CWinApp theApp;

const char* const kAccountValues[] = {"name", "username", "password", "skin"};

std::string Md5Hex(const std::string& text) { return CMD5(text.c_str()).GetHexDigest(); }

std::string FileBytes(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const char* path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Record(const std::string& inner) { return "<record>" + inner + "</record>"; }

std::string Meeting(const std::string& name, const std::string& pin)
{
    return "<MEETING_NAME>" + name + "</MEETING_NAME><MEETING_PIN>" + pin + "</MEETING_PIN>";
}

class ServiceCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteRegistryString("server", m_service.Address());
        WriteRegistryString("name", "Previous Name");
        WriteRegistryString("username", "previous@kelvara.example");
        WriteRegistryString("password", Md5Hex("previous"));
        WriteRegistryString("skin", "previous-skin");
        ::DeleteFileA(kHostSessionFile);
    }
    void TearDown() override { WriteRegistryString("server", ""); }

    std::vector<std::string> StoredAccount() const
    {
        std::vector<std::string> values;
        for (const char* name : kAccountValues)
            values.push_back(ReadRegistryString(name));
        return values;
    }

    std::vector<std::string> AccountInMemory()
    {
        return {m_settings.GetName(), m_settings.GetUsername(), m_settings.GetPassword(), m_settings.GetSkin()};
    }

    FakeServiceControl m_service;
    MessageBoxCatcher m_boxes;
    CUserSettings m_settings;
};

TEST_F(ServiceCommandsTest, AcceptedAccountIsSentUnencodedAndStoredInOrder)
{
    m_service.Script(JsonBody("<result>OK</result><skin> \t blue sky\r\n</skin>"));
    RegistryWriteRecorder writes;
    ASSERT_TRUE(writes.Installed());

    EXPECT_EQ(kLoginAccepted, m_settings.ValidateLogin("New & Name", "a+b&c@x.example", "secret"));

    EXPECT_EQ(0u, m_service.Requests().find("GET /Control?command=validateLogin&_os_app=demo"
                                            "&eMail=a+b&c@x.example&pAssword=" + Md5Hex("secret") +
                                            " HTTP/1.0\n"))
        << m_service.Requests();
    const std::vector<std::string> expected = {"New & Name", "a+b&c@x.example", Md5Hex("secret"), "blue sky"};
    EXPECT_EQ(std::vector<std::string>(std::begin(kAccountValues), std::end(kAccountValues)), writes.ValueNames());
    EXPECT_EQ(expected, StoredAccount());
    EXPECT_EQ(expected, AccountInMemory());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ServiceCommandsTest, OnlyA32BytePasswordIsTakenAsItsStoredForm)
{
    for (std::size_t length : {31u, 32u, 33u, 0u}) {
        const std::string typed(length, 'p');
        const std::string form = length == 32 ? typed : Md5Hex(typed);
        m_service.Script(JsonBody("OK"));
        CUserSettings settings;
        EXPECT_EQ(kLoginAccepted, settings.ValidateLogin("n", "e@x.example", typed));
        EXPECT_NE(std::string::npos, m_service.Requests().find("&pAssword=" + form + " HTTP/1.0\n"))
            << length << ":\n" << m_service.Requests();
        EXPECT_EQ(form, ReadRegistryString("password")) << length;
        EXPECT_EQ(form, settings.GetPassword()) << length;
    }
}

TEST_F(ServiceCommandsTest, AnyBodyButExactlyNAIsAnAcceptanceAndAMissingSkinIsStoredEmpty)
{
    for (const char* body : {"NA\r\n", " NA", " \r\n\t", "<skin>blue", "<SKIN>blue</SKIN>"}) {
        WriteRegistryString("skin", "previous-skin");
        m_service.Script(JsonBody(body));
        CUserSettings settings;
        EXPECT_EQ(kLoginAccepted, settings.ValidateLogin("n", "e@x.example", "pw")) << body;
        EXPECT_EQ("", ReadRegistryString("skin")) << body;
        EXPECT_EQ("", settings.GetSkin()) << body;
    }
}

TEST_F(ServiceCommandsTest, RejectionLeavesMemoryAndRegistryAsTheyWere)
{
    const std::vector<std::string> before = StoredAccount();
    m_service.Script(JsonBody("NA"));
    RegistryWriteRecorder writes;

    EXPECT_EQ(kLoginRejected, m_settings.ValidateLogin("Other", "other@x.example", "other"));

    EXPECT_NE(std::string::npos, m_service.Requests().find("&eMail=other@x.example&pAssword=" + Md5Hex("other")));
    EXPECT_TRUE(writes.ValueNames().empty());
    EXPECT_EQ(before, StoredAccount());
    EXPECT_EQ(before, AccountInMemory());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ServiceCommandsTest, NoUsableReplyIsNotAWrongPassword)
{
    const std::vector<std::string> before = StoredAccount();
    const std::string overCap = std::to_string(kMaxReplyBytes + 1);
    for (const std::string& script : std::vector<std::string>{R"({"replies": [{"status": 404, "body": "x"}]})",
                                     R"({"replies": [{"body": ""}]})",
                                     R"({"replies": [{"body": "x", "size": )" + overCap + "}]}",
                                     R"({"replies": [{"body": "x", "size": 3000, "partial": true, "reset": 0.5}]})"}) {
        m_service.Script(script);
        EXPECT_EQ(kLoginNotAnswered, m_settings.ValidateLogin("Other", "other@x.example", "other")) << script;
        EXPECT_EQ(before, StoredAccount()) << script;
        EXPECT_EQ(before, AccountInMemory()) << script;
    }
    // Only the failed read was a failing exchange step, with its box.
    EXPECT_EQ(1u, m_boxes.Boxes().size());

    const char* unreachable = std::getenv("KV_UNREACHABLE_SERVER");
    ASSERT_NE(nullptr, unreachable);
    WriteRegistryString("server", unreachable);
    EXPECT_EQ(kLoginNotAnswered, m_settings.ValidateLogin("Other", "other@x.example", "other"));
    EXPECT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(before, StoredAccount());
    EXPECT_EQ(before, AccountInMemory());
}

TEST_F(ServiceCommandsTest, ImportMergesRecordsUpToTheFirstEmptyOne)
{
    WriteSessionFile(kHostSessionFile, {{"Existing", "111"}});
    m_service.Script(JsonBody("<records>\r\n" + Record(Meeting("One", "1")) + Record(" ") +
                              Record(Meeting("Three", "3")) + "</records>"));
    SessionTablePtr hostSessions;
    DWORD unread = ERROR_SUCCESS;

    m_settings.GetPlannedSessions(hostSessions, unread);

    EXPECT_EQ(0u, m_service.Requests().find("GET /Control?command=getPlannedSessions&_os_app=demo"
                                            "&eMail=previous@kelvara.example&pAssword=" + Md5Hex("previous") +
                                            " HTTP/1.0\n"))
        << m_service.Requests();
    EXPECT_EQ(FormatSessionFile({{"Existing", "111"}, {"One", "1"}}), FileBytes(kHostSessionFile));
    ASSERT_TRUE(hostSessions);
    EXPECT_EQ(2u, hostSessions->Count());
}

TEST_F(ServiceCommandsTest, ImportSkipsKnownCodesReadsEitherOrderAndIsRepeatable)
{
    WriteSessionFile(kHostSessionFile, {{"Existing", "111"}});
    m_service.Script(JsonBody("<records>" +
                              Record("<MEETING_PIN>1</MEETING_PIN><other>x</other><MEETING_NAME>A</MEETING_NAME>") +
                              Record(Meeting("Duplicate", "111")) + Record("<MEETING_PIN>9</MEETING_PIN>") +
                              Record(Meeting("C", "3")) + "</records>"));
    // The in-memory list is replaced by the file's before the merge.
    auto hostSessions = std::make_unique<SessionTable>();
    DWORD unread = ERROR_SUCCESS;
    hostSessions->m_entries[0] = {"Only in memory", "555"};

    m_settings.GetPlannedSessions(hostSessions, unread);
    const std::string expected = FormatSessionFile({{"Existing", "111"}, {"A", "1"}, {"C", "3"}});
    EXPECT_EQ(expected, FileBytes(kHostSessionFile));

    m_settings.GetPlannedSessions(hostSessions, unread);
    EXPECT_EQ(expected, FileBytes(kHostSessionFile));
    EXPECT_EQ(3u, hostSessions->Count());
}

TEST_F(ServiceCommandsTest, FailedImportStillRereadsAndRewritesTheList)
{
    // A list file in a form the reader accepts but the writer would not produce.
    WriteFileBytes(kHostSessionFile,
                   "<sessions>\n\t<session Description=\"Kept\" AccessCode=\"7\" />\n</sessions>\n");
    for (const char* script : {R"({"replies": [{"body": "NA"}]})", R"({"replies": [{"status": 500}]})"}) {
        m_service.Script(script);
        SessionTablePtr hostSessions;
        DWORD unread = ERROR_SUCCESS;
        m_settings.GetPlannedSessions(hostSessions, unread);
        EXPECT_EQ(FormatSessionFile({{"Kept", "7"}}), FileBytes(kHostSessionFile)) << script;
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// The account over TLS, as a user configures it: validated and imported on the default
// port and another; every certificate the system refuses, and every redirect that would
// leave TLS, ends in the box with nothing stored, merged or sent in clear.
TEST_F(ServiceCommandsTest, AccountTravelsOnlyOverTlsTheSystemTrusts)
{
    const std::string host = m_service.Address();
    const auto secure = [&](unsigned short port) { return "https://" + host + ":" + std::to_string(port); };
    WriteSessionFile(kHostSessionFile, {{"Existing", "111"}});
    const std::string planned = JsonBody("<records>" + Record(Meeting("One", "1")) + "</records>");
    unsigned expectedBoxes = 0;

    for (const std::string& server : {"https://" + host, secure(FakeServiceControl::kTrustedOtherPort)}) {
        WriteRegistryString("server", server);
        m_service.Script(JsonBody("<skin>tls</skin>"));
        EXPECT_EQ(kLoginAccepted, m_settings.ValidateLogin("Ann", "ann@x.example", "secret")) << server;
        EXPECT_EQ(0u, m_service.Requests().find("GET /Control?command=validateLogin&_os_app=demo"
                                                "&eMail=ann@x.example&pAssword=" + Md5Hex("secret") + " HTTP/1.0\n"))
            << server << "\n" << m_service.Requests();
        EXPECT_EQ(server.find("8443") == std::string::npos ? "443\n" : "8443\n", m_service.Connections()) << server;

        m_service.Script(planned);
        SessionTablePtr hostSessions;
        DWORD unread = ERROR_SUCCESS;
        m_settings.GetPlannedSessions(hostSessions, unread);
        EXPECT_EQ(FormatSessionFile({{"Existing", "111"}, {"One", "1"}}), FileBytes(kHostSessionFile)) << server;
    }
    EXPECT_EQ(expectedBoxes, m_boxes.Boxes().size());

    const std::vector<std::string> storedBefore = StoredAccount();
    const std::string listBefore = FileBytes(kHostSessionFile);
    const std::pair<unsigned short, DWORD> refused[] = {
        {FakeServiceControl::kUntrustedCa, ERROR_INTERNET_INVALID_CA},
        {FakeServiceControl::kUntrustedCaCertificateAlone, ERROR_INTERNET_SEC_CERT_REV_FAILED},
        {FakeServiceControl::kWrongName, ERROR_INTERNET_SEC_CERT_CN_INVALID},
        {FakeServiceControl::kExpired, ERROR_INTERNET_SEC_CERT_DATE_INVALID},
    };
    for (const auto& [port, error] : refused) {
        WriteRegistryString("server", secure(port));
        m_service.Script(planned);
        EXPECT_EQ(kLoginNotAnswered, m_settings.ValidateLogin("Other", "other@x.example", "other")) << port;
        SessionTablePtr hostSessions;
        DWORD unread = ERROR_SUCCESS;
        m_settings.GetPlannedSessions(hostSessions, unread);

        EXPECT_TRUE(m_service.Requests().empty()) << port;
        EXPECT_EQ(storedBefore, StoredAccount()) << port;
        EXPECT_EQ(listBefore, FileBytes(kHostSessionFile)) << port;
        ASSERT_EQ(expectedBoxes += 2, m_boxes.Boxes().size()) << port;
        for (std::size_t box = expectedBoxes - 2; box < expectedBoxes; ++box) {
            EXPECT_EQ(InternetErrorText(error), m_boxes.Boxes()[box].text) << port;
            EXPECT_EQ(std::string::npos, m_boxes.Boxes()[box].text.find("No error message")) << port;
        }
    }

    // Sent to a plain address, the query would carry the account in clear: nothing goes there.
    WriteRegistryString("server", "https://" + host);
    m_service.Script(R"({"replies": [{"status": 302, "location": "http://)" + host + R"(/Control?plain"}]})");
    EXPECT_EQ(kLoginNotAnswered, m_settings.ValidateLogin("Other", "other@x.example", "other"));
    EXPECT_EQ("443\n", m_service.Connections());
    ASSERT_EQ(++expectedBoxes, m_boxes.Boxes().size());
    EXPECT_EQ(InternetErrorText(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR), m_boxes.Boxes().back().text);
    EXPECT_EQ(std::string::npos, m_boxes.Boxes().back().text.find("No error message"));
    EXPECT_EQ(storedBefore, StoredAccount());
}

TEST_F(ServiceCommandsTest, AnUnclearServerSettingSendsNothing)
{
    const std::vector<std::string> before = StoredAccount();
    for (const std::string& server : {"ftp://" + m_service.Address(), "https://" + m_service.Address() + "/kv",
                                      "http://" + m_service.Address(), m_service.Address() + " "}) {
        WriteRegistryString("server", server);
        m_service.Script(JsonBody("<skin>x</skin>"));
        EXPECT_EQ(kLoginNotAnswered, m_settings.ValidateLogin("Other", "other@x.example", "other")) << server;
        EXPECT_TRUE(m_service.Connections().empty()) << server;
        ASSERT_FALSE(m_boxes.Boxes().empty());
        EXPECT_EQ("The server setting \"" + server + "\" is not valid. It takes a host name, https://host, "
                  "https://host:port or http://host:port.", m_boxes.Boxes().back().text);
        EXPECT_EQ(::LoadIconA(nullptr, IDI_EXCLAMATION), m_boxes.Boxes().back().icon);
    }
    EXPECT_EQ(4u, m_boxes.Boxes().size());
    EXPECT_EQ(before, StoredAccount());
    EXPECT_EQ(before, AccountInMemory());

    // An explicit port on plain HTTP is honoured.
    WriteRegistryString("server", "http://" + m_service.Address() + ":80");
    m_service.Script(JsonBody("<skin>plain</skin>"));
    EXPECT_EQ(kLoginAccepted, m_settings.ValidateLogin("Ann", "ann@x.example", "secret"));
    EXPECT_EQ("80\n", m_service.Connections());
}

} // namespace
