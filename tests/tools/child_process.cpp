#include "tests/tools/child_process.h"

#include <cstring>

namespace {

// The current environment with the extra variables set, as a CreateProcess block.
std::string EnvironmentBlock(const ChildProcess::Environment& extra)
{
    std::string block;
    char* strings = ::GetEnvironmentStringsA();
    for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
        bool replaced = false;
        for (const auto& [name, value] : extra)
            replaced = replaced || _strnicmp(entry, (name + "=").c_str(), name.size() + 1) == 0;
        if (!replaced)
            block.append(entry).push_back('\0');
    }
    ::FreeEnvironmentStringsA(strings);
    for (const auto& [name, value] : extra)
        block.append(name + "=" + value).push_back('\0');
    block.push_back('\0');
    return block;
}

} // namespace

ChildProcess::~ChildProcess()
{
    DWORD exitCode;
    if (m_process && !WaitForExit(0, exitCode))
        ::TerminateProcess(m_process.get(), 1);
}

bool ChildProcess::Start(const std::string& program, const std::string& arguments,
                         const std::string& workingDirectory, const Environment& extra)
{
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::string environment = EnvironmentBlock(extra);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                          &environment[0], workingDirectory.c_str(), &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_id = info.dwProcessId;
    return true;
}

bool ChildProcess::WaitForInputIdle(DWORD timeoutMs) const
{
    return ::WaitForInputIdle(m_process.get(), timeoutMs) == 0;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const
{
    if (::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    return ::GetExitCodeProcess(m_process.get(), &exitCode) != 0;
}
