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

// Puts every block below 32 MiB on the heap, reserves this many bytes (at most 2 GiB) of address space
// at its top, advised onto huge pages, and keeps freed memory instead of giving it back to the system
// (until giveFreedMemoryBack). The many blocks that the software rasteriser allocates and frees while
// drawing millions of triangles then cost no page fault per 4 KiB, which made up half of the drawing.
// The heap is the main thread's: call it there, first thing in a program that runs once and ends, or
// before each large drawing in one that goes on (giving memory back gives the reserve back too).
void reserveHeapOnHugePages(std::size_t bytes);

// Gives the free memory of every heap back to the system, the top that reserveHeapOnHugePages keeps
// included: after a phase that freed much more than the next one takes again, such as a mesh
// library's import, or deleting shapes.
void giveFreedMemoryBack();

// Has every thread allocate from the main thread's heap rather than from heaps of its own, whose tops
// go back to the system only as blocks are freed, never while a reserve is kept: giving memory back
// then reaches what the threads allocated too. First thing in main, before any thread allocates.
void useOneHeapForAllThreads();
