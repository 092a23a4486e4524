#include "setup/page_message.h"

#include "winfx/win_app.h"

void ShowPageMessage(const CWnd& from, const std::string& text, UINT iconFlags)
{
    CWinApp::GetApp()->ShowMessageBox(text, iconFlags, ::GetAncestor(from.m_hWnd, GA_ROOT));
}
