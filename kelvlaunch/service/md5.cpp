#include "md5.h"

#include "md5_context.h"

#include <cstring>

CMD5::CMD5(const char* text) : m_pszInput(text)
{
    md5::Context context;
    context.Update(reinterpret_cast<const std::uint8_t*>(m_pszInput), std::strlen(m_pszInput));
    context.Finish(m_digest);

    static const char kHexDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < sizeof m_digest; ++i) {
        m_szHexDigest[2 * i] = kHexDigits[m_digest[i] >> 4];
        m_szHexDigest[2 * i + 1] = kHexDigits[m_digest[i] & 0x0f];
    }
    m_szHexDigest[32] = '\0';
    m_pszInput = nullptr;
    m_bSuccess = true;
}

const char* CMD5::GetHexDigest() const { return m_bSuccess ? m_szHexDigest : nullptr; }
