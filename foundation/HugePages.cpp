#include "foundation/HugePages.h"

#include <cstdint>
#include <sys/mman.h>

void adviseHugePages(const void* data, std::size_t bytes) {
  constexpr std::uintptr_t hugePage = std::uintptr_t(1) << 21;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + hugePage - 1) & ~(hugePage - 1);
  const std::uintptr_t last = (begin + bytes) & ~(hugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}
