#include "setup/about_dialog.h"

#include "res/resource.h"
#include "service/service_endpoints.h"

CAboutDialog::CAboutDialog()
    : CPropertyPage(IDD_ABOUT),
      m_linkCursor(static_cast<HCURSOR>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                     MAKEINTRESOURCEA(IDC_HAND_CURSOR),
                                                     IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)))
{
}

bool CAboutDialog::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_webLink.SubclassDlgItem(IDC_ABOUT_LINK, this);
    m_webLink.SetUrl("http://" KV_SERVICE_WEB_HOST);
    m_webLink.m_cursor = m_linkCursor.get();
    return true;
}
