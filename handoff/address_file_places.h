// Where an address file is written: under its own name in the root of drive C first (where an
// ordinary user of a current Windows may not create files), then under the same file name in the
// user's temporary folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "handoff/address_packing.h"

// The places to try, in order: the file's own name, then the same file name in tempFolder
// (the platform's temporary folder, with or without its closing backslash). Only the own name
// when there is no temporary folder.
std::vector<std::string> AddressFilePlaces(std::string_view name, std::string_view tempFolder);

// Creates or replaces the file at path with bytes; false when it cannot.
using AddressFileWriter = std::function<bool(const std::string& path, const std::string& bytes)>;

// What the host is told about one file: the full name its atom carries and the text length.
struct AddressAnnouncement {
  std::string name;
  size_t length = 0;
};

// Writes the file's text and its zero at the first place that takes it and names that place
// with the text's length; when no place takes it, the file's own name with length 0.
AddressAnnouncement PlaceAddressFile(const AddressFile& file, std::string_view tempFolder,
                                     const AddressFileWriter& write);

// The longest name a global atom carries.
constexpr size_t kMostAtomNameChars = 255;

// The platform's short (8.3) form of an existing file's path; "" when it has none.
using ShortPathFinder = std::function<std::string(const std::string& path)>;

// What the atom can carry for a placed file: its name when that fits, else the name's short
// form when that fits; else the failure signal, the file's own name with length 0.
AddressAnnouncement FitAnnouncementToAtom(const AddressAnnouncement& placed, std::string_view ownName,
                                          const ShortPathFinder& shortForm);
