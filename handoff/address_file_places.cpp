#include "handoff/address_file_places.h"

namespace {

std::string_view BaseName(std::string_view path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::vector<std::string> AddressFilePlaces(std::string_view name, std::string_view tempFolder) {
  std::vector<std::string> places{std::string(name)};
  if (tempFolder.empty()) return places;
  std::string inTemp(tempFolder);
  if (inTemp.back() != '\\' && inTemp.back() != '/') inTemp.push_back('\\');
  inTemp.append(BaseName(name));
  if (inTemp != places.front()) places.push_back(std::move(inTemp));
  return places;
}

AddressAnnouncement PlaceAddressFile(const AddressFile& file, std::string_view tempFolder,
                                     const AddressFileWriter& write) {
  std::string bytes = file.text;
  bytes.push_back('\0');
  for (const std::string& place : AddressFilePlaces(file.name, tempFolder))
    if (write(place, bytes)) return {place, file.text.size()};
  return {file.name, 0};
}

AddressAnnouncement FitAnnouncementToAtom(const AddressAnnouncement& placed, std::string_view ownName,
                                          const ShortPathFinder& shortForm) {
  if (placed.name.size() <= kMostAtomNameChars) return placed;
  std::string shortName = shortForm(placed.name);
  if (!shortName.empty() && shortName.size() <= kMostAtomNameChars) return {shortName, placed.length};
  return {std::string(ownName), 0};
}
