// The About page: the product, its version and the service's home page as a link.
#pragma once

#include "setup/static_link.h"
#include "winfx/property_sheet.h"

#include "scoped_win.h"

class CAboutDialog : public CPropertyPage {
public:
    CAboutDialog();

protected:
    bool OnInitDialog() override;

private:
    // A cursor of the page's own (not shared), so that destroying it with the page leaves
    // the next opening's copy intact.
    scoped::Cursor m_linkCursor;
    CStaticLink m_webLink;
};
