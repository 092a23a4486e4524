// The program's resources as Windows reads them: version, icon and manifest.
#include <gtest/gtest.h>

#include "scoped_win.h"
#include "version.h"

#include <string>
#include <vector>

namespace {

std::string VersionString(const std::vector<char>& info, const char* name)
{
    char* text = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!::VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length))
        return "(missing)";
    return std::string(text, length ? length - 1 : 0);
}

TEST(ResourcesTest, VersionIsTheProjectsWithItsNames)
{
    constexpr DWORD kNumbers[] = {KV_VERSION_NUMBERS};
    const DWORD size = ::GetFileVersionInfoSizeA(KV_KELVLAUNCH_EXE, nullptr);
    ASSERT_NE(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(KV_KELVLAUNCH_EXE, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, kNumbers[0] << 16 | kNumbers[1]);
    EXPECT_EQ(fixed->dwFileVersionLS, kNumbers[2] << 16 | kNumbers[3]);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    EXPECT_EQ(VersionString(info, "FileDescription"), "Kelvara Service Launcher");
    EXPECT_EQ(VersionString(info, "InternalName"), "Kelvara Launcher");
    EXPECT_EQ(VersionString(info, "ProductName"), "Kelvara Launcher");
    EXPECT_EQ(VersionString(info, "FileVersion"), KV_VERSION_TEXT);
    EXPECT_EQ(VersionString(info, "ProductVersion"), KV_VERSION_TEXT);
}

TEST(ResourcesTest, IconAndManifestArePresent)
{
    const scoped::Module program(::LoadLibraryExA(KV_KELVLAUNCH_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program);
    EXPECT_NE(::FindResourceA(program.get(), MAKEINTRESOURCEA(128), RT_GROUP_ICON), nullptr);

    const HRSRC manifest = ::FindResourceA(program.get(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const char* bytes = static_cast<const char*>(
        ::LockResource(::LoadResource(program.get(), manifest)));
    const std::string text(bytes, ::SizeofResource(program.get(), manifest));
    EXPECT_NE(text.find("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\""), std::string::npos);
    EXPECT_NE(text.find("version=\"" KV_VERSION_TEXT "\""), std::string::npos);
    // Today's common controls, drawn sharp at any display scale (no stretching by Windows).
    EXPECT_NE(text.find("Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos);
    // No execution level: where it cannot write its lists, Windows redirects them for the user.
    EXPECT_EQ(text.find("requestedExecutionLevel"), std::string::npos);
}

} // namespace
