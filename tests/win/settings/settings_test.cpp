// The settings store against the real registry of the prefix. Every test starts with
// no vendor key at all, as on a first run.
#include "service/settings_registry.h"
#include "service/user_settings.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kVendorPath[] = "Software\\Ostrand";
constexpr char kKeyPath[] = "Software\\Ostrand\\LumetraAgent";

// Sets a value the way another program (or an installer) would, bypassing the store.
void SetRawValue(const char* name, DWORD type, const std::string& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

// The value's type and raw bytes, or type REG_NONE when it is missing.
std::pair<DWORD, std::string> RawValue(const char* name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {REG_NONE, ""};
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::string data;
    if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
    } else {
        type = REG_NONE;
    }
    ::RegCloseKey(key);
    return {type, data};
}

std::pair<DWORD, std::string> StringValue(const std::string& text)
{
    return {REG_SZ, text + '\0'};
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ::SHDeleteKeyA(HKEY_CURRENT_USER, kVendorPath); }
    void TearDown() override { ::SHDeleteKeyA(HKEY_CURRENT_USER, kVendorPath); }
};

TEST_F(Settings, FirstReadCreatesTheKeyChainAndWritesNoValue)
{
    CUserSettings settings;
    EXPECT_EQ(settings.GetUsername(), "");
    EXPECT_EQ(settings.GetName(), "");
    EXPECT_EQ(settings.GetPassword(), "");
    EXPECT_EQ(settings.GetSkin(), "");

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD subkeys = 1, values = 1;
    EXPECT_EQ(::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                                 nullptr, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(subkeys, 0u);
    EXPECT_EQ(values, 0u);
}

TEST_F(Settings, ClearAccountEmptiesTheAccountButKeepsSkinAndServer)
{
    for (const char* name : {"name", "username", "password", "skin", "server"})
        WriteRegistryString(name, std::string("old ") + name);

    CUserSettings settings;
    EXPECT_EQ(settings.GetUsername(), "old username");
    settings.ClearAccount();

    EXPECT_EQ(settings.GetName(), "");
    EXPECT_EQ(settings.GetUsername(), "");
    EXPECT_EQ(settings.GetPassword(), "");
    EXPECT_EQ(settings.GetSkin(), "old skin");
    EXPECT_EQ(RawValue("name"), StringValue(""));
    EXPECT_EQ(RawValue("username"), StringValue(""));
    EXPECT_EQ(RawValue("password"), StringValue(""));
    EXPECT_EQ(RawValue("skin"), StringValue("old skin"));
    EXPECT_EQ(RawValue("server"), StringValue("old server"));
}

TEST_F(Settings, ClearAccountOnAFirstRunCreatesThreeEmptyValues)
{
    CUserSettings().ClearAccount();
    EXPECT_EQ(RawValue("name"), StringValue(""));
    EXPECT_EQ(RawValue("username"), StringValue(""));
    EXPECT_EQ(RawValue("password"), StringValue(""));
    EXPECT_EQ(RawValue("skin").first, static_cast<DWORD>(REG_NONE));
}

TEST_F(Settings, ValuesOfAnyLengthReadBackWhole)
{
    for (std::size_t length : {0u, 1u, 126u, 127u, 128u, 300u, 70000u}) {
        std::string text(length, 'x');
        for (std::size_t i = 0; i < length; ++i)
            text[i] = static_cast<char>('a' + i % 26);
        WriteRegistryString("name", text);
        EXPECT_EQ(RawValue("name"), StringValue(text)) << length;
        EXPECT_EQ(ReadRegistryString("name"), text) << length;
    }
}

TEST_F(Settings, DataWithoutTerminatingNulOrWithInnerNulReadsAsItsText)
{
    SetRawValue("name", REG_SZ, "no terminator");
    EXPECT_EQ(ReadRegistryString("name"), "no terminator");
    SetRawValue("name", REG_SZ, std::string(300, 'L'));
    EXPECT_EQ(ReadRegistryString("name"), std::string(300, 'L'));
    SetRawValue("name", REG_SZ, std::string(127, 'M'));
    EXPECT_EQ(ReadRegistryString("name"), std::string(127, 'M'));
    SetRawValue("name", REG_BINARY, std::string("bin\0ary", 7));
    EXPECT_EQ(ReadRegistryString("name"), "bin");
    EXPECT_EQ(ReadRegistryString("missing"), "");
}

TEST_F(Settings, ValuesAreReadOnceAndSettersStayInMemory)
{
    WriteRegistryString("name", "first");
    WriteRegistryString("skin", "blue");
    CUserSettings settings;
    EXPECT_EQ(settings.GetName(), "first");

    WriteRegistryString("name", "changed while running");
    WriteRegistryString("skin", "green");
    EXPECT_EQ(settings.GetName(), "first");
    EXPECT_EQ(settings.GetSkin(), "blue");

    settings.SetName("set");
    settings.SetUsername("user@example.com");
    settings.SetPassword(std::string(32, 'f'));
    settings.SetSkin("red");
    EXPECT_EQ(settings.GetName(), "set");
    EXPECT_EQ(settings.GetUsername(), "user@example.com");
    EXPECT_EQ(settings.GetPassword(), std::string(32, 'f'));
    EXPECT_EQ(settings.GetSkin(), "red");
    EXPECT_EQ(ReadRegistryString("name"), "changed while running");
    EXPECT_EQ(RawValue("username").first, static_cast<DWORD>(REG_NONE));
}

TEST_F(Settings, ValueSetBeforeTheFirstReadIsNotOverwrittenByTheLoad)
{
    WriteRegistryString("skin", "stored");
    CUserSettings settings;
    settings.SetSkin("set first");
    EXPECT_EQ(settings.GetSkin(), "set first");
    EXPECT_EQ(settings.GetName(), "");
}

TEST_F(Settings, OpenSettingsKeyGivesReadWriteAccess)
{
    scoped::RegKey key = OpenSettingsKey();
    ASSERT_TRUE(key);
    const char data[] = "direct";
    EXPECT_EQ(::RegSetValueExA(key.get(), "name", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data), ERROR_SUCCESS);
    EXPECT_EQ(ReadRegistryString("name"), "direct");
}

} // namespace
