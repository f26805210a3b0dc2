// Saves and loads with a file layer that fails one chosen step: the old file keeps its bytes,
// the file's state says a save is pending, and the next save that completes writes everything.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "store/records.h"
#include "store/safe_write.h"
#include "store_test_folder.h"

namespace {

IoResult Refused(IoError error = IoError::kOther) {
  IoResult result;
  result.error = error;
  result.reason = "refused by the test";
  return result;
}

// The real files, except that the chosen step fails.
class FaultyFiles : public DataFileSystem {
 public:
  std::optional<FileStep> failing;
  std::string unreadable;  // a path whose read fails
  IoError readError = IoError::kOther;

  FileImage ReadWhole(const std::string& path) override {
    if (path == unreadable) return FileImage{Refused(readError), {}};
    return real_.ReadWhole(path);
  }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  IoResult Create(const std::string& path, CreateMode mode, std::unique_ptr<OutputFile>& file) override {
    bool copy = mode == CreateMode::kOnlyNew;
    if (Fails(copy ? FileStep::kKeepCopy : FileStep::kCreate)) return Refused();
    std::unique_ptr<OutputFile> inner;
    IoResult result = real_.Create(path, mode, inner);
    if (result.ok()) file = std::make_unique<Output>(std::move(inner), copy ? std::nullopt : failing);
    return result;
  }
  IoResult Replace(const std::string& from, const std::string& to) override {
    return Fails(FileStep::kReplace) ? Refused() : real_.Replace(from, to);
  }
  void Remove(const std::string& path) override { real_.Remove(path); }

 private:
  class Output : public OutputFile {
   public:
    Output(std::unique_ptr<OutputFile> inner, std::optional<FileStep> failing)
        : inner_(std::move(inner)), failing_(failing) {}
    IoResult Write(const uint8_t* data, size_t size) override {
      if (failing_ == FileStep::kWrite) {
        inner_->Write(data, size / 2);  // a short write
        return Refused();
      }
      return inner_->Write(data, size);
    }
    IoResult Flush() override { return failing_ == FileStep::kFlush ? Refused() : inner_->Flush(); }
    IoResult Close() override { return inner_->Close(); }

   private:
    std::unique_ptr<OutputFile> inner_;
    std::optional<FileStep> failing_;
  };

  bool Fails(FileStep step) const { return failing == step; }
  DataFileSystem& real_ = PlatformFiles();
};

class SaveFaults : public BookFolderTest {
 protected:
  bool Exists(const std::string& path) { return PlatformFiles().Exists(path); }

  void AddGroup(const char* name, MemberList members) {
    ASSERT_TRUE(ReserveRecordSlot(store_.groups));
    GroupRecord& g = (*store_.groups)[store_.groups->used++];
    CopyToField(g.name, kTextFieldSize, name);
    g.memberCount = static_cast<uint32_t>(members.size());
    g.members = std::move(members);
  }
  LoadReport Reload() { return LoadAddressStore(store_, faulty_); }

  FaultyFiles faulty_;
};

const Bytes kAnn = {1, 0, 0, 0, 'A', 'n', 'n', 0, 0, ';', ';', 0, 0};
const Bytes kAnnBobCy = {3, 0, 0, 0, 'A', 'n', 'n', 0, 0, ';', ';', 0, 0, 'B', 'o', 'b', 0, 0, ';', ';', 0, 0,
                         'C', 'y', 0, 0, ';', ';', 0, 0};
const Bytes kDamaged = {5, 0, 0, 0, 'A', 'n', 'n', 0, 0, ';', ';', 0, 0, 'B', 'o'};

TEST_F(SaveFaults, EachFailingStepKeepsTheOldFileAndTheNextSaveWritesEverything) {
  for (FileStep step : {FileStep::kCreate, FileStep::kWrite, FileStep::kFlush, FileStep::kReplace}) {
    SCOPED_TRACE(static_cast<int>(step));
    store_ = AddressStore{};
    store_.personPath = dir_ + "/personal.inf";
    AddPerson("Ann");
    ASSERT_TRUE(SavePersonFile(store_, faulty_));
    AddPerson("Bob");
    faulty_.failing = step;
    EXPECT_FALSE(SavePersonFile(store_, faulty_));
    EXPECT_EQ(Read(store_.personPath), kAnn);
    EXPECT_FALSE(Exists(store_.personPath + ".tmp"));
    EXPECT_TRUE(store_.personFile.savePending);
    EXPECT_TRUE(store_.personFile.failureUntold);
    EXPECT_EQ(store_.personFile.lastFailure.step, step);
    EXPECT_EQ(store_.personFile.lastFailure.reason, "refused by the test");
    EXPECT_FALSE(store_.groupFile.savePending);

    faulty_.failing.reset();
    AddPerson("Cy");
    ASSERT_TRUE(SavePersonFile(store_, faulty_));
    EXPECT_EQ(Read(store_.personPath), kAnnBobCy);
    EXPECT_FALSE(store_.personFile.savePending);
    EXPECT_FALSE(store_.personFile.failureUntold);
  }
}

TEST_F(SaveFaults, AFailedCopyOfADamagedFileStopsTheSave) {
  Write(store_.personPath, kDamaged);
  LoadReport report = Reload();
  EXPECT_EQ(report.persons.status, FileLoadStatus::kDamaged);
  EXPECT_EQ(report.persons.records, 1u);
  EXPECT_TRUE(store_.personFile.keepOriginal);

  faulty_.failing = FileStep::kKeepCopy;
  EXPECT_FALSE(SavePersonFile(store_, faulty_));
  EXPECT_EQ(Read(store_.personPath), kDamaged);
  EXPECT_FALSE(Exists(store_.personPath + ".damaged"));
  EXPECT_EQ(store_.personFile.lastFailure.step, FileStep::kKeepCopy);
  EXPECT_TRUE(store_.personFile.savePending);
  EXPECT_TRUE(store_.personFile.keepOriginal);

  faulty_.failing.reset();
  ASSERT_TRUE(SavePersonFile(store_, faulty_));
  EXPECT_EQ(Read(store_.personPath + ".damaged"), kDamaged);
  EXPECT_EQ(Read(store_.personPath), kAnn);
  EXPECT_FALSE(store_.personFile.keepOriginal);
  ASSERT_TRUE(SavePersonFile(store_, faulty_));  // one copy per incident
  EXPECT_FALSE(Exists(store_.personPath + ".damaged-2"));
}

TEST_F(SaveFaults, AFailedSaveAfterTheCopyDoesNotCopyAgain) {
  Write(store_.personPath, kDamaged);
  Reload();
  faulty_.failing = FileStep::kReplace;
  EXPECT_FALSE(SavePersonFile(store_, faulty_));
  EXPECT_EQ(Read(store_.personPath + ".damaged"), kDamaged);
  EXPECT_EQ(Read(store_.personPath), kDamaged);
  faulty_.failing.reset();
  ASSERT_TRUE(SavePersonFile(store_, faulty_));
  EXPECT_FALSE(Exists(store_.personPath + ".damaged-2"));
}

TEST_F(SaveFaults, EarlierCopiesAreNeverWrittenOver) {
  Bytes earlier = {9, 9, 9};
  Write(store_.personPath + ".damaged", earlier);
  Write(store_.personPath, kDamaged);
  Reload();
  EXPECT_EQ(FreeCopyName(faulty_, store_.personPath), store_.personPath + ".damaged-2");
  ASSERT_TRUE(SavePersonFile(store_, faulty_));
  EXPECT_EQ(Read(store_.personPath + ".damaged"), earlier);
  EXPECT_EQ(Read(store_.personPath + ".damaged-2"), kDamaged);
  EXPECT_EQ(FreeCopyName(faulty_, store_.personPath), store_.personPath + ".damaged-3");
}

TEST_F(SaveFaults, GroupsAreKeptWhenThePersonFileWasDamaged) {
  Bytes team = {1, 0, 0, 0, 'T', 0, 0, 2, 0, 0, 0, 7, 0, 0, 0, 'A', 'n', 'n', 0, 'B', 'o', 0};
  Write(store_.personPath, kDamaged);
  Write(store_.groupPath, team);
  LoadReport report = Reload();
  EXPECT_EQ(report.groups.status, FileLoadStatus::kLoaded);
  EXPECT_EQ(report.groups.records, 1u);
  EXPECT_TRUE(store_.groupFile.keepOriginal);
  EXPECT_EQ((*store_.groups)[0].memberCount, 1u);  // "Bo" was lost with the persons
  ASSERT_TRUE(SaveGroupFile(store_, faulty_));
  EXPECT_EQ(Read(store_.groupPath + ".damaged"), team);
  EXPECT_FALSE(store_.groupFile.keepOriginal);
  EXPECT_TRUE(store_.personFile.keepOriginal);  // each file keeps its own state
}

TEST_F(SaveFaults, FilesThatCannotBeReadAreReportedAndNeverEmptyBooks) {
  Write(store_.personPath, kAnn);
  Write(store_.groupPath, {0, 0, 0, 0});
  faulty_.unreadable = store_.personPath;
  LoadReport report = Reload();
  EXPECT_EQ(report.persons.status, FileLoadStatus::kUnreadable);
  EXPECT_EQ(report.persons.failure.path, store_.personPath);
  EXPECT_EQ(report.persons.failure.reason, "refused by the test");
  EXPECT_FALSE(store_.persons);
  EXPECT_FALSE(store_.groups);

  faulty_.readError = IoError::kOutOfMemory;
  report = Reload();
  EXPECT_EQ(report.persons.status, FileLoadStatus::kUnreadable);
  EXPECT_TRUE(report.persons.failure.outOfMemory);

  faulty_.unreadable = store_.groupPath;
  faulty_.readError = IoError::kOther;
  report = Reload();
  EXPECT_EQ(report.persons.status, FileLoadStatus::kLoaded);
  EXPECT_EQ(report.groups.status, FileLoadStatus::kUnreadable);
  EXPECT_FALSE(store_.groups);

  faulty_.unreadable.clear();
  std::remove(store_.personPath.c_str());
  report = Reload();  // only a file that is not there is an empty book
  EXPECT_EQ(report.persons.status, FileLoadStatus::kAbsent);
  EXPECT_EQ(report.groups.status, FileLoadStatus::kNotLoaded);
}

TEST_F(SaveFaults, AGroupFileUnreadWithoutPersonsIsKeptBeforeItsFirstSave) {
  Bytes team = {1, 0, 0, 0, 'T', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Write(store_.groupPath, team);
  Reload();
  EXPECT_TRUE(store_.groupFile.keepOriginal);
  AddPerson("Ann");
  AddGroup("Team", {0});
  faulty_.unreadable = store_.groupPath;  // still held by someone: the copy cannot be made
  EXPECT_FALSE(SaveGroupFile(store_, faulty_));
  EXPECT_EQ(store_.groupFile.lastFailure.step, FileStep::kKeepCopy);
  EXPECT_EQ(Read(store_.groupPath), team);
  faulty_.unreadable.clear();
  ASSERT_TRUE(SaveGroupFile(store_, faulty_));
  EXPECT_EQ(Read(store_.groupPath + ".damaged"), team);
}

TEST_F(SaveFaults, ALeftoverTemporaryFileIsNeitherLoadedNorLeftBehind) {
  Write(store_.personPath, kAnn);
  Write(store_.personPath + ".tmp", kAnnBobCy);
  LoadReport report = Reload();
  EXPECT_EQ(report.persons.records, 1u);
  ASSERT_TRUE(SavePersonFile(store_, faulty_));
  EXPECT_FALSE(Exists(store_.personPath + ".tmp"));
  EXPECT_EQ(Read(store_.personPath), kAnn);
}

TEST_F(SaveFaults, AMissingFolderFailsAtCreateWithTheSystemsWords) {
  AddPerson("Ann");
  store_.personPath = dir_ + "/gone/personal.inf";
  EXPECT_FALSE(SavePersonFile(store_));
  EXPECT_EQ(store_.personFile.lastFailure.step, FileStep::kCreate);
  EXPECT_FALSE(store_.personFile.lastFailure.reason.empty());
  EXPECT_TRUE(store_.personFile.savePending);
  mkdir((dir_ + "/gone").c_str(), 0700);
  ASSERT_TRUE(SavePersonFile(store_));
  EXPECT_EQ(Read(store_.personPath), kAnn);
  EXPECT_FALSE(store_.personFile.savePending);
}

}  // namespace
