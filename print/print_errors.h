// Which failures of the print calls the user is told of.
#pragma once

#include <cstdint>

// The system's error codes the decision knows (the core includes no windows.h).
constexpr uint32_t kErrorPrintCancelled = 63;  // ERROR_PRINT_CANCELLED: the job was deleted from the queue
constexpr uint32_t kErrorCancelled = 1223;     // ERROR_CANCELLED: the user cancelled a prompt

// A printout that failed with `error` ends without a word when the user cancelled it (in the
// printer driver's own prompt, such as the file name of a print-to-file or PDF printer, or by
// deleting the job); every other failure is told.
bool PrintFailureIsTold(uint32_t error);
