#include "print/print_errors.h"

bool PrintFailureIsTold(uint32_t error) { return error != kErrorCancelled && error != kErrorPrintCancelled; }
