// A fresh folder per test holding "personal.inf" and "group.inf" of store_, with helpers to
// write and read files byte for byte and to add persons to the tables.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/records.h"

using Bytes = std::vector<uint8_t>;

class BookFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kalbookXXXXXX";
    dir_ = mkdtemp(pattern);
    store_.personPath = dir_ + "/personal.inf";
    store_.groupPath = dir_ + "/group.inf";
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

  void Write(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  Bytes Read(const std::string& path) { return ReadWholeFile(path).value_or(Bytes{}); }

  uint32_t AddPerson(const char* description, const char* email = "") {
    EXPECT_TRUE(ReserveRecordSlot(store_.persons));
    PersonRecord& p = (*store_.persons)[store_.persons->used];
    CopyToField(p.description, kTextFieldSize, description);
    CopyToField(p.email, kEmailFieldSize, email);
    CopyToField(p.names, kTextFieldSize, ";;");
    return store_.persons->used++;
  }

  std::string dir_;
  AddressStore store_;
};
