#include "foundation/HugePages.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

void adviseHugePages(const void* data, std::size_t bytes) {
  constexpr std::uintptr_t hugePage = std::uintptr_t(1) << 21;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + hugePage - 1) & ~(hugePage - 1);
  const std::uintptr_t last = (begin + bytes) & ~(hugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void reserveHeapOnHugePages(std::size_t bytes) {
  // Blocks up to the largest threshold come from the heap, which grows by what an allocation lacks
  // plus the top pad and gives back its top beyond the trim threshold: with both as large as the
  // reserve, the first growth makes room for everything, which then stays advised.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  const int reserve = static_cast<int>(std::min<std::size_t>(bytes, std::numeric_limits<int>::max()));
  mallopt(M_TOP_PAD, reserve);
  mallopt(M_TRIM_THRESHOLD, reserve);
  void* probe = std::malloc(1 << 20);
  if (!probe) return;
  adviseHugePages(probe, static_cast<std::size_t>(static_cast<char*>(sbrk(0)) - static_cast<char*>(probe)));
  std::free(probe);
}

void giveFreedMemoryBack() {
  malloc_trim(0);
}

void useOneHeapForAllThreads() {
  mallopt(M_ARENA_MAX, 1);
}
