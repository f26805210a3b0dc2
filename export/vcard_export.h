// The address book written out as vCard 3.0, for other address programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/export_selection.h"
#include "store/records.h"

// One card per person: UTF-8 without a byte-order mark, CR LF line ends, no line longer than 75
// octets, text values escaped. CATEGORIES names the live groups a person belongs to.
std::string WriteVCards(const AddressStore& store, const std::vector<uint32_t>& persons);

// Writes the text whole to a temporary file beside `path`, which then replaces `path` in one
// step; false (and `path` untouched) when that fails.
bool WriteExportFile(const std::string& path, const std::string& text);
