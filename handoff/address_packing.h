// Packing of the recipients' e-mail addresses into the address files the host reads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/panes/item_ref.h"
#include "store/records.h"

// Capacity of the address buffer; a text of at most 198 characters plus its zero fits.
constexpr size_t kAddressBufferSize = 200;

constexpr char kFinalAddressFile[] = "c:\\TempFile";

// One address file: its full name and its text (written followed by one zero byte).
struct AddressFile {
  std::string name;
  std::string text;
};

// "c:\Temp" + n + ".adr", the n-th file written because the buffer was full.
std::string IntermediateAddressFileName(int counter);

// The files one hand-off writes and announces, in their order: every intermediate file as
// the buffer overflows, then "c:\TempFile". Groups expand through their member lists as
// stored (no look at `deleted`); nothing is de-duplicated. Empty when there are no
// recipients. When a recipient's table is absent the hand-off stops there: the files
// already filled stay, the buffer's text and the final file are dropped.
std::vector<AddressFile> PackAddresses(const AddressStore& store,
                                       const std::vector<ItemRef>& recipients);
