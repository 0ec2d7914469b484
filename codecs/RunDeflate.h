#pragma once
// Raw deflate that looks for one kind of match only, a byte repeated (a
// distance of one), as zlib does at its fastest level for PNG rows, but
// several times faster: runs are found eight bytes at a time, and each
// block's Huffman codes are built from its own counts and written through
// a 64-bit bit buffer. Each block is written as a dynamic, fixed or stored
// block, whichever is smallest.

#include <cstddef>
#include <cstdint>

// The most bytes RunDeflate writes for `count` bytes.
std::size_t RunDeflateBound(std::size_t count);

// Writes the deflate blocks of `bytes` to `out`, which holds
// RunDeflateBound(count) bytes, and returns how many it wrote. With
// `final`, the last block ends the stream; otherwise an empty stored block
// follows, which ends the blocks on a byte boundary (as zlib's sync flush
// does), so that another run of blocks may follow.
std::size_t RunDeflate(const std::uint8_t* bytes, std::size_t count, bool final, std::uint8_t* out);
