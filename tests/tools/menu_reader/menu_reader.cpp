// A WH_CALLWNDPROC hook that only observes: when the hooked thread initialises a popup menu,
// it reads the whole popup and sends it to the test's sink window. Menus are read here,
// inside the program, because Wine keeps a menu's items in the process that made it.
#include "tests/tools/menu_reader/menu_reader.h"

#include <string>

namespace {

void Describe(HMENU menu, int depth, std::string& out)
{
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[512] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item))
            continue;
        const char kind = (item.fType & MFT_SEPARATOR) ? 'S' : item.hSubMenu ? 'P' : 'I';
        // A popup's id is its handle: not worth reporting.
        const UINT id = item.hSubMenu ? 0 : item.wID;
        out += std::to_string(depth) + ' ' + kind + ' ' + std::to_string(id) + ' ' +
               ((item.fState & MFS_DEFAULT) ? '1' : '0') + ' ' + text + '\n';
        if (item.hSubMenu)
            Describe(item.hSubMenu, depth + 1, out);
    }
}

void Report(HMENU menu)
{
    const HWND sink = ::FindWindowA(menu_reader::kSinkClass, nullptr);
    if (!sink)
        return;
    std::string report;
    Describe(menu, 0, report);
    COPYDATASTRUCT data{menu_reader::kMenuReport, static_cast<DWORD>(report.size() + 1), report.data()};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(sink, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 5000,
                          &result);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuReaderHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call.message == WM_INITMENUPOPUP && !HIWORD(call.lParam))
            Report(reinterpret_cast<HMENU>(call.wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
