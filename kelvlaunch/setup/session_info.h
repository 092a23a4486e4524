// The Session Information dialog: collects a Description and an Access Code for the
// meeting pages, which decide what to keep of them.
#pragma once

#include "winfx/dialog.h"

#include <string>

class CSessionInfo : public CDialog {
public:
    explicit CSessionInfo(CWnd* parent);

    // Presets the texts (Edit); call before DoModal.
    void SetSession(std::string description, std::string accessCode);

    // Mirror the two edits, whichever button closed the dialog.
    std::string m_strDescription;
    std::string m_strAccessCode;

protected:
    bool OnInitDialog() override;
    void OnChangeDescription();
    void OnChangeAccessCode();

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};
