#pragma once

#include <cstddef>

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes) with huge pages when they
// are first written. Filling a large fresh array then costs one page fault per 2 MiB instead of one
// per 4 KiB, which is most of the time spent on first writes. Has no effect where the kernel does
// not offer it; never changes what the memory holds.
void adviseHugePages(const void* data, std::size_t bytes);

// The same for the room a vector has reserved.
template <class Vector> void adviseHugePages(const Vector& vector) {
  adviseHugePages(vector.data(), vector.capacity() * sizeof(typename Vector::value_type));
}
