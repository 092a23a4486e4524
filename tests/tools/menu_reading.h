// Test side of the menu reader: hooks a program's UI thread with the reader DLL and
// collects the popups it reports, parsed into items.
#pragma once

#include "scoped_win.h"
#include "tests/tools/copy_data_window.h"

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

struct MenuItem {
    int depth;        // 0 for the popup's own items, 1 for those of its submenus, ...
    char kind;        // 'I' item, 'P' popup, 'S' separator
    UINT id;
    bool isDefault;
    std::string text;

    bool operator==(const MenuItem& other) const
    {
        return depth == other.depth && kind == other.kind && id == other.id &&
               isDefault == other.isDefault && text == other.text;
    }
};
using MenuReport = std::vector<MenuItem>;

// For the tests' failure messages.
inline void PrintTo(const MenuItem& item, std::ostream* out)
{
    *out << "\n" << std::string(static_cast<std::size_t>(item.depth) * 2, ' ') << item.kind << ' '
         << item.id << (item.isDefault ? " default " : " ") << '"' << item.text << '"';
}

class MenuReading {
public:
    // Hooks the thread with the reader DLL at this path; Hooked() tells whether it worked.
    MenuReading(const std::string& readerDll, DWORD threadId);

    bool Hooked() const { return static_cast<bool>(m_hook); }
    std::size_t Count() const;
    // The report with this index (0 is the first popup shown), once it has come.
    bool WaitForReport(std::size_t index, DWORD timeoutMs, MenuReport& report) const;

private:
    LRESULT Record(const COPYDATASTRUCT& data);

    mutable std::mutex m_lock;
    std::vector<MenuReport> m_reports;
    CopyDataWindow m_sink;
    scoped::Module m_reader;
    scoped::Hook m_hook;
};

// The tracked menu of a program closes on Escape, and takes keys as a user types them.
void PostMenuKey(DWORD threadId, UINT virtualKey);
void PostMenuChar(DWORD threadId, char character);
// The program's visible popup menu window, or null.
HWND TrackedMenuWindow(DWORD processId);
