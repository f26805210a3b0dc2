#include "import/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

void AppendBase64(std::string& out, std::string_view bytes) {
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                 (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
    out.push_back(kAlphabet[(n >> 18) & 63]);
    out.push_back(kAlphabet[(n >> 12) & 63]);
    out.push_back(kAlphabet[(n >> 6) & 63]);
    out.push_back(kAlphabet[n & 63]);
  }
  size_t rest = bytes.size() - i;
  if (rest == 0) return;
  unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
  if (rest == 2) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
  out.push_back(kAlphabet[(n >> 18) & 63]);
  out.push_back(kAlphabet[(n >> 12) & 63]);
  out.push_back(rest == 2 ? kAlphabet[(n >> 6) & 63] : '=');
  out.push_back('=');
}

std::string DecodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    int value = ValueOf(c);
    if (value < 0) continue;
    buffer = ((buffer << 6) | static_cast<unsigned>(value)) & 0xFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
    }
  }
  return out;
}
