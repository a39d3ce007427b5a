#pragma once
// MD5 message digest, written from RFC 1321.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vela {

using Md5Digest = std::array<std::uint8_t, 16>;

class Md5 {
public:
    Md5();
    void Update(const void* data, std::size_t length);
    Md5Digest Final();

    static Md5Digest Of(const void* data, std::size_t length);

private:
    void Transform(const std::uint8_t block[64]);

    std::uint32_t m_state[4];
    std::uint64_t m_bitCount = 0;
    std::uint8_t m_buffer[64] = {};
};

}  // namespace vela
