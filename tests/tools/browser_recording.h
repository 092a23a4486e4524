// Test side of the browser recorder: a fresh record file and the event the recorder
// signals, so a test waits for the browser's start without polling.
#pragma once

#include "browser_recorder.h"
#include "scoped_win.h"

#include <string>
#include <vector>

class BrowserRecording {
public:
    // Starts recording into path (emptied); programs started afterwards by this
    // process inherit the variable that tells the recorder where to write.
    explicit BrowserRecording(std::string path)
        : m_path(std::move(path)),
          m_recorded(::CreateEventA(nullptr, FALSE, FALSE, browser_recorder::kRecordedEvent))
    {
        ::DeleteFileA(m_path.c_str());
        ::SetEnvironmentVariableA(browser_recorder::kRecordVariable, m_path.c_str());
    }

    // Waits for the next start of the browser; false when none came in time.
    bool WaitForStart(DWORD milliseconds = 20000) const
    {
        return ::WaitForSingleObject(m_recorded.get(), milliseconds) == WAIT_OBJECT_0;
    }

    std::vector<browser_recorder::Start> Starts() const { return browser_recorder::ReadRecord(m_path); }

private:
    std::string m_path;
    scoped::Kernel m_recorded;
};
