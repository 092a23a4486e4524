// MD5 throughput of CMD5 against OpenSSL's MD5 on the same buffers, both optimised.
// Prints "<size> <ours ns per call> <openssl ns per call>" per buffer size.
#include "service/md5.h"

#include <openssl/evp.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

template <typename F>
double NanosecondsPerCall(int calls, F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i)
        f();
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / calls;
}

volatile unsigned char g_sink;

} // namespace

int main()
{
    struct Case {
        std::size_t size;
        int calls;
    };
    for (const Case c : {Case{8, 2000000}, Case{32, 2000000}, Case{1 << 20, 300}}) {
        std::string text(c.size, 'k');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = char('a' + i % 26);
        const double ours = NanosecondsPerCall(c.calls, [&] { g_sink = CMD5(text.c_str()).GetHexDigest()[0]; });
        const double openssl = NanosecondsPerCall(c.calls, [&] {
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned int size = 0;
            EVP_Digest(text.data(), text.size(), digest, &size, EVP_md5(), nullptr);
            g_sink = digest[0];
        });
        std::printf("%zu %.1f %.1f\n", c.size, ours, openssl);
    }
    return 0;
}
