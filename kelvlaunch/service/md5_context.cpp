#include "md5_context.h"

#include <cstring>

namespace md5 {
namespace {

// Per-step shift amounts and sine-derived constants of the four rounds.
constexpr std::uint32_t kShift[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

std::uint32_t RotateLeft(std::uint32_t x, std::uint32_t n) { return (x << n) | (x >> (32 - n)); }

std::uint32_t LoadLittleEndian(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void StoreLittleEndian(std::uint32_t v, std::uint8_t* p)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

} // namespace

Context::Context()
    : m_state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, m_bitCount{0, 0}, m_buffer{}
{
}

Context::~Context() { Wipe(); }

void Context::Wipe()
{
    // volatile so that the compiler keeps the wipe of a dying object
    volatile std::uint8_t* bytes = reinterpret_cast<volatile std::uint8_t*>(this);
    for (std::size_t i = 0; i < sizeof(*this); ++i)
        bytes[i] = 0;
}

void Context::Transform(const std::uint8_t block[64])
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLittleEndian(block + 4 * i);

    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    // One step: mix in the round function's value, rotate, and shift the four words along.
    const auto step = [&](int i, std::uint32_t f, int word) {
        const std::uint32_t rotated = RotateLeft(a + f + kSine[i] + x[word], kShift[i]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    };
    // Unrolled, the shift amounts become constants.
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i)
        step(i, (b & c) | (~b & d), i);
#pragma GCC unroll 16
    for (int i = 16; i < 32; ++i)
        step(i, (d & b) | (~d & c), (5 * i + 1) % 16);
#pragma GCC unroll 16
    for (int i = 32; i < 48; ++i)
        step(i, b ^ c ^ d, (3 * i + 5) % 16);
#pragma GCC unroll 16
    for (int i = 48; i < 64; ++i)
        step(i, c ^ (b | ~d), (7 * i) % 16);

    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void Context::Update(const std::uint8_t* data, std::size_t size)
{
    std::size_t used = (m_bitCount[0] >> 3) & 63;
    const std::uint64_t bits = (std::uint64_t(m_bitCount[1]) << 32 | m_bitCount[0]) +
                               (std::uint64_t(size) << 3);
    m_bitCount[0] = std::uint32_t(bits);
    m_bitCount[1] = std::uint32_t(bits >> 32);

    if (used != 0) {
        const std::size_t take = size < 64 - used ? size : 64 - used;
        std::memcpy(m_buffer + used, data, take);
        data += take;
        size -= take;
        used += take;
        if (used < 64)
            return;
        Transform(m_buffer);
    }
    for (; size >= 64; data += 64, size -= 64)
        Transform(data);
    if (size != 0)
        std::memcpy(m_buffer, data, size);
}

void Context::Finish(std::uint8_t digest[16])
{
    std::uint8_t length[8];
    StoreLittleEndian(m_bitCount[0], length);
    StoreLittleEndian(m_bitCount[1], length + 4);

    // One 0x80 byte, then zeros up to 56 bytes modulo 64, then the length.
    static const std::uint8_t kPadding[64] = {0x80};
    const std::size_t used = (m_bitCount[0] >> 3) & 63;
    Update(kPadding, used < 56 ? 56 - used : 120 - used);
    Update(length, sizeof length);

    for (int i = 0; i < 4; ++i)
        StoreLittleEndian(m_state[i], digest + 4 * i);
    Wipe();
}

} // namespace md5
