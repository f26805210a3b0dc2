// Counts what operator new hands out; malloc_usable_size tells the size again at delete.
#include "bench/memory_peak.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> held{0};
std::atomic<size_t> peak{0};

void* Take(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  size_t now = held.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void Give(void* p) {
  if (!p) return;
  held.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

}  // namespace

size_t HeldBytes() { return held.load(); }
size_t PeakHeldBytes() { return peak.load(); }
void ResetPeakHeldBytes() { peak.store(held.load()); }

void* operator new(size_t size) { return Take(size); }
void* operator new[](size_t size) { return Take(size); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, size_t) noexcept { Give(p); }
void operator delete[](void* p, size_t) noexcept { Give(p); }
