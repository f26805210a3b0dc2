// Holds a file open without sharing, as a backup or sync tool might, for tests of failed saves
// and unreadable files. Usage: kalhold.exe FILE STOPFILE. Prints "HELD" once the file is held,
// lets go as soon as STOPFILE exists, prints "RELEASED" and ends. Exit code 1 when FILE cannot
// be opened, 2 on bad usage.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kalhold FILE STOPFILE\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  std::printf("HELD\n");
  std::fflush(stdout);
  while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES) Sleep(50);
  CloseHandle(file);
  std::printf("RELEASED\n");
  std::fflush(stdout);
  return 0;
}
