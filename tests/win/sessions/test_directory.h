// Test helpers: each test runs in a fresh directory of its own, since the list files
// live in the working directory.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string FileBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void PutFile(const char* path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Names in the current directory, sorted, without "." and "..".
inline std::vector<std::string> DirectoryListing()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA("*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

class InFreshDirectory : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string dir = std::string("t_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ::CreateDirectoryA(dir.c_str(), nullptr);
        ASSERT_TRUE(::SetCurrentDirectoryA(dir.c_str()));
        for (const std::string& name : DirectoryListing()) {
            ::SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(::DeleteFileA(name.c_str())) << name;
        }
    }
    void TearDown() override { ::SetCurrentDirectoryA(".."); }
};
