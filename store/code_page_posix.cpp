#include "store/code_page.h"

// The native build runs the core as on a Western system; tests pass other pages explicitly.
CodePage SystemCodePage() { return SingleByteCodePage(1252); }
