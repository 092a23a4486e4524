#include "tests/tools/menu_reading.h"

#include "tests/tools/menu_reader/menu_reader.h"
#include "tests/tools/window_driver.h"

#include <sstream>

MenuReading::MenuReading(const std::string& readerDll, DWORD threadId)
    : m_sink(menu_reader::kSinkClass, [this](const COPYDATASTRUCT& data) { return Record(data); }),
      m_reader(::LoadLibraryA(readerDll.c_str()))
{
    const auto hook = m_reader ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                     ::GetProcAddress(m_reader.get(), menu_reader::kHookProc)))
                               : nullptr;
    if (hook)
        m_hook.reset(::SetWindowsHookExA(WH_CALLWNDPROC, hook, m_reader.get(), threadId));
}

LRESULT MenuReading::Record(const COPYDATASTRUCT& data)
{
    if (data.dwData != menu_reader::kMenuReport || !data.cbData)
        return FALSE;
    MenuReport report;
    std::istringstream lines(std::string(static_cast<const char*>(data.lpData), data.cbData - 1));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        MenuItem item{};
        int isDefault = 0;
        fields >> item.depth >> item.kind >> item.id >> isDefault;
        item.isDefault = isDefault != 0;
        fields.get();
        std::getline(fields, item.text);
        report.push_back(item);
    }
    std::lock_guard<std::mutex> hold(m_lock);
    m_reports.push_back(report);
    return TRUE;
}

std::size_t MenuReading::Count() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_reports.size();
}

bool MenuReading::WaitForReport(std::size_t index, DWORD timeoutMs, MenuReport& report) const
{
    if (!WaitUntil([&] { return Count() > index; }, timeoutMs))
        return false;
    std::lock_guard<std::mutex> hold(m_lock);
    report = m_reports[index];
    return true;
}

void PostMenuKey(DWORD threadId, UINT virtualKey)
{
    ::PostThreadMessageA(threadId, WM_KEYDOWN, virtualKey, 1);
    ::PostThreadMessageA(threadId, WM_KEYUP, virtualKey, 0xC0000001);
}

void PostMenuChar(DWORD threadId, char character)
{
    ::PostThreadMessageA(threadId, WM_CHAR, static_cast<BYTE>(character), 1);
}

HWND TrackedMenuWindow(DWORD processId)
{
    for (HWND hWnd : TopLevelWindowsOf(processId))
        if (::IsWindowVisible(hWnd) && WindowClassName(hWnd) == "#32768")
            return hWnd;
    return nullptr;
}
