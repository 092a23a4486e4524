// MD5 digest of a NUL-terminated byte string, as 32 lowercase hexadecimal characters.
// This is the stored and transmitted form of the account password.
#pragma once

#include <cstddef>
#include <cstdint>

class CMD5 {
public:
    explicit CMD5(const char* text);
    virtual ~CMD5() = default;

    CMD5(const CMD5&) = delete;
    CMD5& operator=(const CMD5&) = delete;

    // The 32-character digest text, or null when the computation did not succeed.
    const char* GetHexDigest() const;

private:
    bool m_bSuccess = false;
    std::uint8_t m_digest[16] = {};
    char m_szHexDigest[33] = {};
    const char* m_pszInput;  // not owned; used only while constructing
};
