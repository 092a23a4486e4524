// The Login Info page: shows the stored account, validates what the user typed against
// the service (the only way the account is stored) and clears it.
#pragma once

#include "winfx/property_sheet.h"

#include <string>

class CLoginDialog : public CPropertyPage {
public:
    CLoginDialog();

    // The stored account, shown when the page opens.
    void SetAccount(std::string name, std::string email, std::string password);

protected:
    bool OnInitDialog() override;
    void OnValidateAccount();
    void OnClear();

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    std::string m_strName;
    std::string m_strEmail;
    std::string m_strPassword;  // as stored: normally the digest
};
