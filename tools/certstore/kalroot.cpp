// Puts a test certificate authority into the Root store of the current user, so that the sync
// tests can serve HTTPS with a certificate the system trusts. Usage: kalroot.exe CA.der
// Exit code 0 when the certificate is in the store (also when it already was), 1 when not,
// 2 on bad usage.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kalroot CA.der\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "rb");
  if (!file) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  std::vector<BYTE> der;
  int c;
  while ((c = std::fgetc(file)) != EOF) der.push_back(static_cast<BYTE>(c));
  std::fclose(file);
  if (!CertAddEncodedCertificateToSystemStoreA("Root", der.data(), static_cast<DWORD>(der.size()))) {
    std::fprintf(stderr, "the Root store refused the certificate: error %lu\n", GetLastError());
    return 1;
  }
  std::printf("ADDED\n");
  return 0;
}
