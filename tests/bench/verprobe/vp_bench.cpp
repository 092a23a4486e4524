// Cost of one SpecificVersion call through the vtable against the same Win32
// calls made directly (ProgID lookup, registry read, version-information read),
// both for the ProgID given on the command line.
// Prints: <verprobe microseconds per call> <direct microseconds per call>
#include "vp_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr int kCallsPerRound = 500;
constexpr int kRounds = 5;

// The lookup written out plainly, without COM objects in between.
bool DirectLookUp(const wchar_t* progId)
{
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(progId, &clsid)))
        return false;
    wchar_t wide[40];
    char clsidText[40];
    ::StringFromGUID2(clsid, wide, 40);
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, clsidText, sizeof clsidText, nullptr, nullptr);
    scoped::RegKey classes, classKey, server;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, classes.put()) != ERROR_SUCCESS
        || ::RegOpenKeyExA(classes.get(), clsidText, 0, KEY_READ, classKey.put()) != ERROR_SUCCESS
        || ::RegOpenKeyExA(classKey.get(), "InprocServer32", 0, KEY_READ, server.put()) != ERROR_SUCCESS)
        return false;
    char path[261] = {};
    DWORD size = 260;
    if (::RegQueryValueExA(server.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size)
        != ERROR_SUCCESS)
        return false;
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(path, &ignored));
    if (block.empty() || !::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()))
        return false;
    WORD* translation = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length)
        || length < 4)
        return false;
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\ProductVersion", translation[0], translation[1]);
    char* text = nullptr;
    if (!::VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &length))
        return false;
    wchar_t converted[256];
    const int count = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, converted, 256);
    scoped::Bstr result(::SysAllocStringLen(converted, count > 0 ? count - 1 : 0));
    return result.get() != nullptr;
}

template <typename Call>
double MicrosecondsPerCall(Call call)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < kCallsPerRound; ++i)
        call();
    ::QueryPerformanceCounter(&end);
    return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart / kCallsPerRound;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vp_bench <ProgID>\n");
        return 2;
    }
    wchar_t progIdText[128];
    ::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, progIdText, 128);
    ::CoInitialize(nullptr);
    int status = 0;
    {
        VerprobeDll dll;
        scoped::ComPtr<IVerprobe> object = dll.CreateObject();
        scoped::Bstr progId(::SysAllocString(progIdText));
        BSTR probe = nullptr;
        if (!object || object->get_SpecificVersion(progId.get(), &probe) != S_OK || !probe
            || !DirectLookUp(progIdText)) {
            std::fprintf(stderr, "vp_bench: %s does not resolve to a version\n", argv[1]);
            status = 1;
        } else {
            ::SysFreeString(probe);
            double viaObject = 1e300, direct = 1e300;
            // Interleaved rounds, best of each, so that both see the same machine load.
            for (int round = 0; round < kRounds; ++round) {
                viaObject = std::min(viaObject, MicrosecondsPerCall([&] {
                    BSTR result = nullptr;
                    object->get_SpecificVersion(progId.get(), &result);
                    ::SysFreeString(result);
                }));
                direct = std::min(direct, MicrosecondsPerCall([&] { DirectLookUp(progIdText); }));
            }
            std::printf("%.2f %.2f\n", viaObject, direct);
        }
    }
    ::CoUninitialize();
    return status;
}
