// RFC 1321 MD5 over a byte stream fed in pieces of any length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace md5 {

class Context {
public:
    Context();
    ~Context();  // wipes the working state
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    void Update(const std::uint8_t* data, std::size_t size);
    // Pads, writes the 16-byte digest and wipes the state; the context is spent afterwards.
    void Finish(std::uint8_t digest[16]);

private:
    void Transform(const std::uint8_t block[64]);
    void Wipe();

    std::uint32_t m_state[4];
    std::uint32_t m_bitCount[2];  // message length in bits, low word first
    std::uint8_t m_buffer[64];
};

} // namespace md5
