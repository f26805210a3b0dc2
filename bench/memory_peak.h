// Bytes the program holds through operator new, and the most it held since the last reset:
// the benchmarks' memory figures (the book's and the server's memory before a step is its base).
#pragma once

#include <cstddef>

size_t HeldBytes();
size_t PeakHeldBytes();
void ResetPeakHeldBytes();  // the peak starts again from what is held now
