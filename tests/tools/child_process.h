// A program started by a test, ended by the test if it is still running at the end.
#pragma once

#include "scoped_win.h"

#include <string>
#include <utility>
#include <vector>

class ChildProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts "program arguments" in the working directory, with the test's environment
    // plus the given variables.
    bool Start(const std::string& program, const std::string& arguments,
               const std::string& workingDirectory, const Environment& extra = {});

    DWORD Id() const { return m_id; }
    // Waits until the program's message loop first waits for input.
    bool WaitForInputIdle(DWORD timeoutMs) const;
    // The exit code, or nothing when it is still running after the timeout.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;

private:
    scoped::Kernel m_process;
    DWORD m_id = 0;
};
