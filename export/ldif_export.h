// The address book written out as LDIF in the form Thunderbird writes and reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/records.h"

// One record per person, then one groupOfNames record per group with a member line for each of
// its live members among `persons`, in member order. CR LF line ends; values that are not plain
// ASCII go as base64 of UTF-8.
std::string WriteLdif(const AddressStore& store, const std::vector<uint32_t>& persons,
                      const std::vector<uint32_t>& groups);
