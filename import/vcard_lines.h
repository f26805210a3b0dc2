// The content lines of a vCard text: physical lines ended by CR LF, LF, CR or CR CR LF, a
// byte-order mark at the start of any of them and empty ones passed over, folded continuations (a leading blank or tab) and quoted-printable soft line breaks
// joined, each line split into name, parameters and value.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

struct VCardLine {
  std::string_view name;    // the property name, without a group prefix ("item1.")
  std::string_view params;  // everything between the name and the value's colon
  std::string_view value;   // the unfolded, still encoded value
};

// What the parameters of a line say about its value.
struct ValueParams {
  static constexpr uint32_t kNotPreferred = std::numeric_limits<uint32_t>::max();
  bool quotedPrintable = false;
  uint32_t preference = kNotPreferred;  // 1 for PREF or TYPE=PREF, n for PREF=n
  std::string charset;  // a copy: the line it came from does not outlive the next line
};

ValueParams ParseParams(std::string_view params);

// Name, parameters and the position of the value's colon (npos when the line has none).
struct VCardHeader {
  std::string_view name;
  std::string_view params;
  size_t colon = std::string_view::npos;
};

class VCardLines {
 public:
  // `text` must outlive the reader.
  explicit VCardLines(std::string_view text);

  // The next line that has a value; false at the end of the text. Only lines whose name
  // `keepValue` accepts get their value unfolded; the others come with an empty value, so a long
  // PHOTO is passed over without copying. The views stay valid until the next call.
  bool Next(VCardLine& line, bool (*keepValue)(std::string_view name));

 private:
  bool ReadLogicalLine(bool (*keepValue)(std::string_view name));
  bool NextPhysical(std::string_view& line);
  bool ContinuationFollows(bool softBreak, std::string_view& next);

  static constexpr size_t kNotSearched = std::numeric_limits<size_t>::max();

  std::string_view text_;
  size_t pos_ = 0;
  size_t nextLineFeed_ = kNotSearched;
  std::string joined_;
  std::string_view whole_;
  VCardHeader header_;
};
