// Holds a file open, as a backup or sync tool or a spreadsheet program might, for tests of
// failed saves, unreadable files and imports of files still open elsewhere.
// Usage: kalhold.exe [/share-read] FILE STOPFILE. Without /share-read the file is held for
// reading without any sharing; with it, for reading and writing with reading by others allowed
// (as a spreadsheet program holds the CSV file it shows). Prints "HELD" once the file is held,
// lets go as soon as STOPFILE exists, prints "RELEASED" and ends. Exit code 1 when FILE cannot
// be opened, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  bool shareRead = argc == 4 && std::strcmp(argv[1], "/share-read") == 0;
  if (argc != 3 && !shareRead) {
    std::fprintf(stderr, "usage: kalhold [/share-read] FILE STOPFILE\n");
    return 2;
  }
  const char* path = argv[argc - 2];
  const char* stop = argv[argc - 1];
  DWORD access = shareRead ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  DWORD sharing = shareRead ? FILE_SHARE_READ : 0;
  HANDLE file = CreateFileA(path, access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s: error %lu\n", path, GetLastError());
    return 1;
  }
  std::printf("HELD\n");
  std::fflush(stdout);
  while (GetFileAttributesA(stop) == INVALID_FILE_ATTRIBUTES) Sleep(50);
  CloseHandle(file);
  std::printf("RELEASED\n");
  std::fflush(stdout);
  return 0;
}
