// Drives the launcher's Setup sheet from outside: pages by index, controls by id, list-view
// rows through memory of the launcher's own (list-view messages carry pointers), dialogs and
// message boxes found by caption and owner.
#pragma once

#include "scoped_win.h"

#include <windows.h>

#include <string>
#include <vector>

extern const char kSheetCaption[];

HWND WaitForVisibleWindow(DWORD processId, const std::string& caption);
bool WaitUntilGone(HWND window);

// What a message box shows, and whether the sheet owns it and is disabled under it.
struct OwnedBox {
    HWND box = nullptr;
    std::string text;
    bool hasIcon = false;
    bool ownedBySheet = false;
};
// Waits for the launcher's next message box, reads it and presses OK.
OwnedBox DismissMessageBox(DWORD processId, HWND sheet);

HWND CurrentPage(HWND sheet);
// As its tab shows it, without the access key's mark.
std::string CurrentPageTitle(HWND sheet);
void ShowPage(HWND sheet, int index);

// Posted, as a click is: the handler may run a dialog of its own.
void Click(HWND dialog, int id);
void PressKey(HWND target, WPARAM key);
void SetText(HWND control, const std::string& text);
std::string Text(HWND control);

// Opens the Session Information dialog with a page's button, types both texts and ends
// it with OK or Cancel. Empty when it did; else what went wrong, with what the dialog shows.
[[nodiscard]] std::string EnterSession(DWORD processId, HWND page, int button, const std::string& description,
                                       const std::string& accessCode, bool ok = true);

class RemoteListView {
public:
    RemoteListView(HWND list, DWORD processId);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    int Count() const;
    std::string ItemText(int item, int column) const;
    std::vector<std::string> Column(int column) const;
    int ColumnWidth(int column) const;
    std::string ColumnHeading(int column) const;
    std::vector<int> Selected() const;
    // Exactly these rows selected.
    void Select(const std::vector<int>& items) const;

private:
    // Sends a request whose text goes to the buffer after it; RemoteText reads that back.
    template <typename Request>
    LRESULT SendForText(UINT message, WPARAM wParam, Request request) const;
    std::string RemoteText(std::size_t length) const;

    static constexpr std::size_t kTextSize = 4096;
    HWND m_list;
    scoped::Kernel m_process;
    void* m_remote = nullptr;  // an LVITEMA followed by a text buffer
};

// Makes the calling thread see every window in that window's own pixels, whatever the DPI
// its program runs at; false where the system cannot.
bool SeeWindowsInTheirOwnPixels();

// What of a window does not fit, one line each: a static, button or edit whose text needs
// more room than its client area, or a child that reaches out of the window's client area.
// The font is the one its controls use. Needs a thread that sees the window's own pixels.
std::string LayoutFaults(HWND window, HFONT font);

// A picture of the window as the screen shows it, once painted, as a .bmp file.
bool SaveWindowPicture(HWND window, const std::string& path);
