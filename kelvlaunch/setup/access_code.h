// "Join a Session as a Guest": asks for the access code of a session to join as a guest.
#pragma once

#include "winfx/dialog.h"

#include <string>

class CAccessCode : public CDialog {
public:
    explicit CAccessCode(CWnd* parent);

    // The code as typed, read when the user confirms; the edit always starts empty.
    std::string m_strAccessCode;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
