// Message boxes raised from the Setup sheet's pages and dialogs: owned by the sheet (the
// window's top-level window), which stays disabled meanwhile, so no second change can
// start and the sheet cannot close under the handler.
#pragma once

#include "winfx/wnd.h"

#include <string>

void ShowPageMessage(const CWnd& from, const std::string& text, UINT iconFlags);
