// What Windows says of a file's Authenticode signature, as a deployment check would ask it:
// WinVerifyTrust (the signature matches the file) and the Authenticode chain policy on the
// signer's certificate chain (a root this machine trusts, a code-signing usage).
// Usage: trust_check FILE   prints "digest 0x... chain 0x..."; exit code 0 when both accept.
#include <windows.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstdio>
#include <string>

namespace {

LONG VerifyDigest(const std::wstring& file)
{
    WINTRUST_FILE_INFO fileInfo{};
    fileInfo.cbStruct = sizeof fileInfo;
    fileInfo.pcwszFilePath = file.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG result = ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return result;
}

// The chain policy's error for the signer of file's embedded signature.
DWORD VerifySignerChain(const std::wstring& file)
{
    HCERTSTORE store = nullptr;
    HCRYPTMSG message = nullptr;
    if (!::CryptQueryObject(CERT_QUERY_OBJECT_FILE, file.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                            CERT_QUERY_FORMAT_FLAG_BINARY, 0, nullptr, nullptr, nullptr, &store, &message, nullptr))
        return ::GetLastError();
    DWORD size = 0;
    ::CryptMsgGetParam(message, CMSG_SIGNER_CERT_INFO_PARAM, 0, nullptr, &size);
    std::string signer(size, '\0');
    DWORD status = ERROR_INVALID_DATA;
    PCCERT_CONTEXT certificate = nullptr;
    if (size && ::CryptMsgGetParam(message, CMSG_SIGNER_CERT_INFO_PARAM, 0, signer.data(), &size))
        certificate = ::CertFindCertificateInStore(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                                   CERT_FIND_SUBJECT_CERT, signer.data(), nullptr);
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    // A chain for code signing, as Authenticode asks for it.
    char codeSigning[] = szOID_PKIX_KP_CODE_SIGNING;
    LPSTR usages[] = {codeSigning};
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    if (certificate && ::CertGetCertificateChain(nullptr, certificate, nullptr, store, &chainPara, 0, nullptr, &chain)) {
        CERT_CHAIN_POLICY_PARA policyPara{};
        policyPara.cbSize = sizeof policyPara;
        CERT_CHAIN_POLICY_STATUS policyStatus{};
        policyStatus.cbSize = sizeof policyStatus;
        status = ::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &policyPara, &policyStatus)
                     ? policyStatus.dwError
                     : ::GetLastError();
        ::CertFreeCertificateChain(chain);
    }
    if (certificate)
        ::CertFreeCertificateContext(certificate);
    ::CryptMsgClose(message);
    ::CertCloseStore(store, 0);
    return status;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: trust_check FILE\n", stderr);
        return 2;
    }
    const LONG digest = VerifyDigest(argv[1]);
    const DWORD chain = VerifySignerChain(argv[1]);
    std::printf("digest 0x%08lx chain 0x%08lx\n", static_cast<unsigned long>(digest), static_cast<unsigned long>(chain));
    return digest == 0 && chain == 0 ? 0 : 1;
}
