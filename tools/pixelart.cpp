// Build-time tool: turns a text pixel-art file into a Windows .bmp, .cur or .ico.
//
// Input format (one directive a line, '#' starts a comment line):
//   kind bmp|cur|ico
//   size W H
//   hotspot X Y            (cursors only)
//   key C V                character C stands for V: a hex digit 0-F (index in the
//                          standard 16-colour palette) or "clear" (transparent, cur/ico)
//   pixels                 followed by H rows of exactly W key characters
// Bitmaps and icons are 4 bits per pixel; cursors are monochrome (keys 0, F or clear).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                               0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                               0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr int kClear = -1;

struct Art {
  std::string kind;
  int width = 0, height = 0, hotX = 0, hotY = 0;
  std::vector<int> pixels;  // row 0 is the top; palette index or kClear
};

bool Fail(const std::string& path, int line, const std::string& why) {
  std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), line, why.c_str());
  return false;
}

bool ParseArt(const std::string& path, Art& art) {
  std::ifstream in(path);
  if (!in) return Fail(path, 0, "cannot open");
  std::map<char, int> keys;
  std::string line;
  int lineNo = 0;
  bool inPixels = false;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (inPixels) {
      if ((int)art.pixels.size() == art.width * art.height) {
        if (line.empty() || line[0] == '#') continue;
        return Fail(path, lineNo, "more rows than the size says");
      }
      if ((int)line.size() != art.width) return Fail(path, lineNo, "row width differs from size");
      for (char c : line) {
        auto it = keys.find(c);
        if (it == keys.end()) return Fail(path, lineNo, std::string("unknown key '") + c + "'");
        art.pixels.push_back(it->second);
      }
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "kind") {
      words >> art.kind;
    } else if (word == "size") {
      words >> art.width >> art.height;
    } else if (word == "hotspot") {
      words >> art.hotX >> art.hotY;
    } else if (word == "key") {
      std::string c, v;
      words >> c >> v;
      if (c.size() != 1) return Fail(path, lineNo, "a key is one character");
      if (v == "clear") keys[c[0]] = kClear;
      else keys[c[0]] = (int)std::stoul(v, nullptr, 16) & 15;
    } else if (word == "pixels") {
      inPixels = true;
    } else {
      return Fail(path, lineNo, "unknown directive " + word);
    }
  }
  if (art.kind != "bmp" && art.kind != "cur" && art.kind != "ico") return Fail(path, 0, "kind must be bmp, cur or ico");
  if (art.width <= 0 || art.height <= 0 || art.width > 256 || art.height > 256) return Fail(path, 0, "bad size");
  if ((int)art.pixels.size() != art.width * art.height) return Fail(path, 0, "too few rows");
  for (int p : art.pixels) {
    if (art.kind == "bmp" && p == kClear) return Fail(path, 0, "a bitmap has no transparency");
    if (art.kind == "cur" && p != kClear && p != 0 && p != 15) return Fail(path, 0, "cursor pixels are 0, F or clear");
  }
  return true;
}

struct Bytes {
  std::vector<uint8_t> data;
  void u8(uint32_t v) { data.push_back((uint8_t)v); }
  void u16(uint32_t v) { u8(v); u8(v >> 8); }
  void u32(uint32_t v) { u16(v); u16(v >> 16); }
  void rgb(uint32_t rgb) { u8(rgb); u8(rgb >> 8); u8(rgb >> 16); u8(0); }  // RGBQUAD: blue, green, red
};

int RowBytes(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

void InfoHeader(Bytes& b, int width, int height, int bpp, uint32_t imageSize, int colours) {
  b.u32(40);
  b.u32(width);
  b.u32(height);
  b.u16(1);
  b.u16(bpp);
  b.u32(0);
  b.u32(imageSize);
  b.u32(0);
  b.u32(0);
  b.u32(colours);
  b.u32(0);
}

// Bottom-up rows of 4-bit indexes; transparent pixels become index 0 (black).
void FourBitRows(Bytes& b, const Art& art) {
  int rowBytes = RowBytes(art.width, 4);
  for (int y = art.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < art.width; ++x) {
      int p = art.pixels[y * art.width + x];
      uint8_t v = (uint8_t)(p == kClear ? 0 : p);
      row[x / 2] |= (x % 2 == 0) ? (uint8_t)(v << 4) : v;
    }
    b.data.insert(b.data.end(), row.begin(), row.end());
  }
}

// Bottom-up 1-bit rows: bit set where pick(pixel) is true.
template <typename Pick>
void OneBitRows(Bytes& b, const Art& art, Pick pick) {
  int rowBytes = RowBytes(art.width, 1);
  for (int y = art.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < art.width; ++x)
      if (pick(art.pixels[y * art.width + x])) row[x / 8] |= (uint8_t)(0x80 >> (x % 8));
    b.data.insert(b.data.end(), row.begin(), row.end());
  }
}

Bytes MakeBitmap(const Art& art) {
  Bytes dib;
  uint32_t imageSize = RowBytes(art.width, 4) * art.height;
  InfoHeader(dib, art.width, art.height, 4, imageSize, 16);
  for (uint32_t c : kPalette) dib.rgb(c);
  FourBitRows(dib, art);
  Bytes file;
  file.u8('B');
  file.u8('M');
  file.u32(14 + (uint32_t)dib.data.size());
  file.u32(0);
  file.u32(14 + 40 + 16 * 4);
  file.data.insert(file.data.end(), dib.data.begin(), dib.data.end());
  return file;
}

// Icon or cursor image: header with doubled height, palette, XOR image, AND mask.
Bytes MakeIconImage(const Art& art, bool cursor) {
  Bytes img;
  int bpp = cursor ? 1 : 4;
  uint32_t xorSize = RowBytes(art.width, bpp) * art.height;
  uint32_t andSize = RowBytes(art.width, 1) * art.height;
  InfoHeader(img, art.width, art.height * 2, bpp, xorSize + andSize, cursor ? 2 : 16);
  if (cursor) {
    img.rgb(0x000000);
    img.rgb(0xFFFFFF);
    OneBitRows(img, art, [](int p) { return p == 15; });
  } else {
    for (uint32_t c : kPalette) img.rgb(c);
    FourBitRows(img, art);
  }
  OneBitRows(img, art, [](int p) { return p == kClear; });
  return img;
}

Bytes MakeIconFile(const Art& art, bool cursor) {
  Bytes image = MakeIconImage(art, cursor);
  Bytes file;
  file.u16(0);
  file.u16(cursor ? 2 : 1);
  file.u16(1);
  file.u8(art.width >= 256 ? 0 : art.width);
  file.u8(art.height >= 256 ? 0 : art.height);
  file.u8(cursor ? 2 : 16);
  file.u8(0);
  file.u16(cursor ? art.hotX : 1);
  file.u16(cursor ? art.hotY : 4);
  file.u32((uint32_t)image.data.size());
  file.u32(6 + 16);
  file.data.insert(file.data.end(), image.data.begin(), image.data.end());
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pixelart ART.txt OUTPUT\n");
    return 2;
  }
  Art art;
  if (!ParseArt(argv[1], art)) return 1;
  Bytes out = art.kind == "bmp" ? MakeBitmap(art) : MakeIconFile(art, art.kind == "cur");
  FILE* f = std::fopen(argv[2], "wb");
  if (!f) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  bool ok = std::fwrite(out.data.data(), 1, out.data.size(), f) == out.data.size();
  ok = std::fclose(f) == 0 && ok;
  return ok ? 0 : 1;
}
