#pragma once

#include <cstddef>

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes) with huge pages when they
// are first written. Filling a large fresh array then costs one page fault per 2 MiB instead of one
// per 4 KiB, which is a third of the time spent reading a large mesh. Has no effect where the kernel
// does not offer it; never changes what the memory holds.
void adviseHugePages(const void* data, std::size_t bytes);

// Makes room for n elements in a vector that is about to be filled, on huge pages (the elements it
// already holds are copied before the advice takes effect: use it on empty vectors).
template <class Vector> void reserveOnHugePages(Vector& vector, std::size_t n) {
  if (vector.capacity() >= n) return;
  vector.reserve(n);
  adviseHugePages(vector.data(), vector.capacity() * sizeof(typename Vector::value_type));
}

// For a program that runs once and ends: puts every block below 32 MiB on the heap, reserves this many
// bytes (at most 2 GiB) of address space at its top, advised onto huge pages, and never gives freed
// memory back to the system. The many blocks that the software rasteriser allocates and frees while
// drawing millions of triangles then cost no page fault per 4 KiB, which made up half of the drawing.
void reserveHeapOnHugePages(std::size_t bytes);

// Gives the heap's free memory back to the system, as the heap reserved above never does by itself:
// after a phase that freed much more than the next one takes again, such as a mesh library's import.
void releaseFreeHeap();
