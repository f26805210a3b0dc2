// The address book written out as CSV in the form Outlook on the desktop reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/records.h"

// The ANSI code page as the book holds it, CR LF line ends, comma-separated; the header names
// Outlook's English columns, and each person's live groups are its categories.
std::string WriteOutlookCsv(const AddressStore& store, const std::vector<uint32_t>& persons);
