#pragma once
// Row kernel of the tone curve: every byte replaced through a 256-entry
// table. MapRow works on 32 bytes at a time in its vector version, 8 in its
// plain one (see KernelChoice.h); `reference` is the straightforward loop the
// tests compare both against.

#include <cstdint>

namespace pointkernels {

void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]);

namespace reference {
void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]);
}  // namespace reference

}  // namespace pointkernels
