#include "setup/about_dialog.h"

#include "res/resource.h"
#include "service/service_endpoints.h"

namespace {

// The system's own hand, where there is one, comes in the size the display's scale asks
// for; ours is for systems without it.
HCURSOR LoadLinkCursor()
{
    if (const HCURSOR systemHand = ::LoadCursorA(nullptr, IDC_HAND))
        return ::CopyIcon(systemHand);  // a cursor of our own, destroyed with the page
    return static_cast<HCURSOR>(::LoadImageA(::GetModuleHandleA(nullptr),
                                             MAKEINTRESOURCEA(IDC_HAND_CURSOR), IMAGE_CURSOR, 0, 0,
                                             LR_DEFAULTSIZE));
}

} // namespace

CAboutDialog::CAboutDialog() : CPropertyPage(IDD_ABOUT), m_linkCursor(LoadLinkCursor()) {}

bool CAboutDialog::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_webLink.SubclassDlgItem(IDC_ABOUT_LINK, this);
    m_webLink.SetUrl(kServiceHomePage);
    m_webLink.m_cursor = m_linkCursor.get();
    return true;
}
