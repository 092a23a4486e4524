// The protocol between the menu reader hook (inside the observed program) and the test:
// each popup that the program's thread initialises is sent as WM_COPYDATA to the window of
// class kSinkClass, one line per item, submenus nested below their item:
//   <depth> <kind> <id> <default> <text>      (a popup's id is reported as 0)
// kind: I item, P popup, S separator; default: 1 for the menu's default item, else 0.
#pragma once

#include <windows.h>

namespace menu_reader {

inline constexpr char kSinkClass[] = "KvMenuReaderSink";
inline constexpr ULONG_PTR kMenuReport = 0x4D454E55;  // 'MENU'
inline constexpr char kHookProc[] = "MenuReaderHook";

} // namespace menu_reader
