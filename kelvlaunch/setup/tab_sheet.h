// The Setup sheet: no standard buttons (the caption's close box closes it) and no Enter key.
#pragma once

#include "winfx/property_sheet.h"

class CTabSheet : public CPropertySheet {
public:
    CTabSheet();

    bool PreTranslateMessage(MSG& msg) override;

protected:
    void OnInitDialog() override;
};
