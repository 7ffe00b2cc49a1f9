#pragma once

#include <cstddef>

// Blocks of memory that read as zero bytes. A large block is taken from the
// system as untouched pages, mapped only where it is written, so that a raster
// layer of which a worker writes a few regions costs no more than those.
namespace korvane {

// `bytes` of zeroes; throws std::bad_alloc when the system has none to give.
void* allocateZeroed(std::size_t bytes);
// Gives back a block of allocateZeroed with its size.
void releaseZeroed(void* block, std::size_t bytes) noexcept;

} // namespace korvane
