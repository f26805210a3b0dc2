// Test driver (placeholder until the harness lands).
#include <windows.h>
#include <cstdio>
int main() { std::puts("kaldriver"); return 0; }
