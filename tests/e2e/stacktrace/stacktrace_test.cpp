// StackTrace.dll seen from outside: a program that imports it and crashes leaves a report
// in the temp folder; one that ends normally leaves nothing.
#include "tests/tools/child_process.h"
#include "tests/tools/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kTimeoutMs = 60000;

// The offsets after "crash_probe.exe+0x" in the report, in order.
std::vector<unsigned> ProbeOffsets(const std::string& report)
{
    std::vector<unsigned> offsets;
    const std::string marker = "crash_probe.exe+0x";
    for (auto at = report.find(marker); at != std::string::npos; at = report.find(marker, at + 1))
        offsets.push_back(std::stoul(report.substr(at + marker.size(), 8), nullptr, 16));
    return offsets;
}

class StackTraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The probe and the library alone in a folder of their own, as installed.
        m_root = fs::absolute("run");
        fs::remove_all(m_root);
        fs::create_directories(m_root / "bin");
        fs::create_directories(m_root / "temp");
        fs::copy_file(KV_CRASH_PROBE, m_root / "bin" / "crash_probe.exe");
        fs::copy_file(KV_STACKTRACE_DLL, m_root / "bin" / "StackTrace.dll");

        // Wine's debugger must neither open a dialog nor wait for one.
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", 0, nullptr, 0,
                                    KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD no = 0;
        ::RegSetValueExA(key, "ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&no),
                         sizeof no);
        ::RegCloseKey(key);
    }

    DWORD RunProbe(const std::string& arguments)
    {
        ChildProcess probe;
        const std::string temp = (m_root / "temp").string();
        EXPECT_TRUE(probe.Start((m_root / "bin" / "crash_probe.exe").string(), arguments,
                                m_root.string(), {{"TMP", temp}, {"TEMP", temp}}));
        DWORD exitCode = 0;
        EXPECT_TRUE(probe.WaitForExit(kTimeoutMs, exitCode));
        return exitCode;
    }

    fs::path m_root;
};

TEST_F(StackTraceTest, NormalRunWritesNothing)
{
    EXPECT_EQ(RunProbe(""), 0u);
    EXPECT_TRUE(fs::is_empty(m_root / "temp"));
}

TEST_F(StackTraceTest, CrashLeavesAReportNamedAfterTheProgram)
{
    EXPECT_NE(RunProbe("crash"), 0u);
    const fs::path reportPath = m_root / "temp" / "crash_probe.crash.txt";
    ASSERT_TRUE(fs::exists(reportPath));
    const std::string report = ReadFileBytes(reportPath);
    EXPECT_NE(report.find("crash_probe.exe crashed"), std::string::npos) << report;
    EXPECT_NE(report.find("exception code: 0xC0000005"), std::string::npos) << report;

    unsigned writeNowhere = 0, callWriteNowhere = 0;
    std::istringstream(ReadFileBytes(m_root / "offsets.txt")) >> std::hex >> writeNowhere >>
        callWriteNowhere;
    ASSERT_NE(writeNowhere, 0u);

    // The faulting address lies in the crashing function, the first return address in its
    // caller, and the chain goes on beyond it (main, the runtime's start-up).
    const std::vector<unsigned> offsets = ProbeOffsets(report);
    ASSERT_GE(offsets.size(), 3u) << report;
    EXPECT_GE(offsets[0], writeNowhere) << report;
    EXPECT_LT(offsets[0], writeNowhere + 32) << report;
    EXPECT_GT(offsets[1], callWriteNowhere) << report;
    EXPECT_LT(offsets[1], callWriteNowhere + 32) << report;
    EXPECT_NE(report.find("return addresses:\r\n"), std::string::npos) << report;
}

} // namespace
