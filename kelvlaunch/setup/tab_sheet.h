// The Setup sheet: no standard buttons (the caption's close box or Escape closes it), Enter
// only for the focused button or a control that takes it, and the tabs' access keys.
#pragma once

#include "winfx/property_sheet.h"

class CTabSheet : public CPropertySheet {
public:
    CTabSheet();

    bool PreTranslateMessage(MSG& msg) override;

protected:
    void OnInitDialog() override;

private:
    // Alt and a tab's access key shows that page; false when no tab has the key.
    bool SelectPageByAccessKey(WPARAM character);
};
