#pragma once
// Row kernel of the tone curve: every byte replaced through a 256-entry
// table. The fast version works on 32 or 8 bytes at a time; the plain version
// in `reference` is the straightforward loop the tests compare against.

#include <cstdint>

namespace pointkernels {

void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]);
// The same without 32-byte registers, whatever the machine has, so that the
// tests reach both versions.
void MapRowWithoutAvx2(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]);

namespace reference {
void MapRow(std::uint8_t* p, std::int64_t count, const std::uint8_t table[256]);
}  // namespace reference

}  // namespace pointkernels
