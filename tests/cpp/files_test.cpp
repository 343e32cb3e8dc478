// Whole-file writes: replacing a file, and claiming the first free name.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "errors.hpp"
#include "files/atomic_write.hpp"

namespace vf = vantor::files;
namespace fs = std::filesystem;

namespace {

class Files : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/files_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }

  static std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  long entries() const { return std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}); }

  fs::path dir_;
};

TEST_F(Files, MakesMissingParentsAndAcceptsAnExistingDirectory) {
  const std::string nested = (dir_ / "data" / "reports").string();
  vf::make_directories(nested);
  EXPECT_TRUE(fs::is_directory(nested));
  vf::make_directories(nested);  // already there
  EXPECT_TRUE(fs::is_directory(nested));
}

TEST_F(Files, AFileInTheWayIsAnError) {
  std::ofstream(dir_ / "data") << "x";
  try {
    vf::make_directories((dir_ / "data" / "reports").string());
    FAIL() << "no error";
  } catch (const vantor::FileError& e) {
    EXPECT_EQ(e.error_number, ENOTDIR);
    EXPECT_EQ(e.path, (dir_ / "data" / "reports").string());
  }
  try {
    vf::make_directories((dir_ / "data").string());
    FAIL() << "no error";
  } catch (const vantor::FileError& e) {
    EXPECT_EQ(e.error_number, EEXIST);
  }
}

TEST_F(Files, ReplacesWholeAndLeavesNoTemporaryFile) {
  const fs::path target = dir_ / "report.html";
  vf::replace_file(target.string(), "first");
  vf::replace_file(target.string(), "second page");
  EXPECT_EQ(read(target), "second page");
  EXPECT_EQ(entries(), 1);
}

TEST_F(Files, AFailedRenameKeepsWhatStoodThereAndRemovesTheTemporaryFile) {
  const fs::path target = dir_ / "report.html";
  fs::create_directory(target);
  std::ofstream(target / "keep") << "kept";
  try {
    vf::replace_file(target.string(), "page");
    FAIL() << "no error";
  } catch (const vantor::FileError& e) {
    EXPECT_NE(e.error_number, 0);
    EXPECT_EQ(e.other_path, target.string());
  }
  EXPECT_EQ(read(target / "keep"), "kept");
  EXPECT_EQ(entries(), 1);
}

TEST_F(Files, AMissingDirectoryIsAnError) {
  for (const auto write : {+[](const std::string& d) { vf::replace_file(d + "/report.html", "page"); },
                           +[](const std::string& d) { (void)vf::write_new_file(d, "a.json", "{}"); }}) {
    try {
      write((dir_ / "missing").string());
      FAIL() << "no error";
    } catch (const vantor::FileError& e) {
      EXPECT_EQ(e.error_number, ENOENT);
    }
  }
}

TEST(FileNames, JoinedAsOsPathJoin) {
  EXPECT_EQ(vf::joined("logs", "a.json"), "logs/a.json");
  EXPECT_EQ(vf::joined("logs/", "a.json"), "logs/a.json");
  EXPECT_EQ(vf::joined("", "a.json"), "a.json");
  EXPECT_EQ(vf::joined("/", "a.json"), "/a.json");
}

TEST(FileNames, NumberedBeforeTheLastExtension) {
  EXPECT_EQ(vf::numbered("a.json", 1), "a.json");
  EXPECT_EQ(vf::numbered("a.json", 2), "a-2.json");
  EXPECT_EQ(vf::numbered("x_b.c.json", 12), "x_b.c-12.json");
  EXPECT_EQ(vf::numbered("plain", 3), "plain-3");
}

TEST_F(Files, NewFilesNeverReplaceOneAnotherAndLeaveNoTemporaryFile) {
  const std::string dir = dir_.string() + "/";
  EXPECT_EQ(vf::write_new_file(dir, "s.json", "one"), dir + "s.json");
  EXPECT_EQ(vf::write_new_file(dir, "s.json", "two"), dir + "s-2.json");
  fs::remove(dir_ / "s.json");  // a free name is taken again, the first free one
  EXPECT_EQ(vf::write_new_file(dir, "s.json", "three"), dir + "s.json");
  EXPECT_EQ(vf::write_new_file(dir, "s.json", "four"), dir + "s-3.json");
  EXPECT_EQ(read(dir_ / "s.json"), "three");
  EXPECT_EQ(read(dir_ / "s-2.json"), "two");
  EXPECT_EQ(read(dir_ / "s-3.json"), "four");
  EXPECT_EQ(entries(), 3);
}

TEST_F(Files, AnUnwritableDirectoryFailsAndLeavesNothing) {
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(dir_.c_str(), W_OK) == 0) GTEST_SKIP() << "running as a user who may write anywhere";
  try {
    (void)vf::write_new_file(dir_.string(), "s.json", "x");
    FAIL() << "no error";
  } catch (const vantor::FileError& e) {
    EXPECT_EQ(e.error_number, EACCES);
  }
  EXPECT_EQ(entries(), 0);
}

}  // namespace
