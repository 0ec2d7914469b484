#pragma once
// Row kernels of the point operations. InvertRow gives 255 - v. MapRow,
// the tone curve, replaces every byte through a 256-entry table; it works on
// 32 bytes at a time in its vector version, 8 in its plain one (see
// KernelChoice.h); `reference` is the straightforward loop the tests compare
// both against.

#include <cstdint>

namespace pointkernels {

void InvertRow(std::uint8_t* p, std::int64_t count);
void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]);

namespace reference {
void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]);
}  // namespace reference

}  // namespace pointkernels
