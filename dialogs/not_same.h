// Sets the user declared "Not the same": kept by the persons' descriptions and e-mail addresses
// in a small file beside the data files, so that a change of either offers the set again.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/duplicate_sets.h"
#include "store/data_file_io.h"
#include "store/file_state.h"
#include "store/records.h"

constexpr char kNotSameFileName[] = "notsame.inf";

// One declared set: its persons' (description, e-mail) in ascending byte order.
using NotSameKey = std::vector<std::pair<std::string, std::string>>;

struct NotSameList {
  std::set<NotSameKey> sets;
};

// The file's path: the person file's folder and kNotSameFileName.
std::string NotSamePath(const std::string& personPath);

NotSameKey NotSameKeyOf(const AddressStore& store, const DuplicateSet& set);

// An absent, unreadable or damaged file gives the declarations read as far as they go.
NotSameList ReadNotSameList(const std::string& path, DataFileSystem& files = PlatformFiles());
// Written whole through the safe write: the old list or the new one, never a mix.
std::optional<FileFailure> WriteNotSameList(const std::string& path, const NotSameList& list,
                                            DataFileSystem& files = PlatformFiles());

// The sets no declaration covers.
std::vector<DuplicateSet> WithoutDeclared(const AddressStore& store, std::vector<DuplicateSet> sets,
                                          const NotSameList& list);

// The file's bytes: u32 count of sets, then per set a u32 count of persons and each person's
// description and e-mail, each ended by a zero byte.
std::vector<uint8_t> NotSameBytes(const NotSameList& list);
NotSameList NotSameFromBytes(const std::vector<uint8_t>& bytes);
