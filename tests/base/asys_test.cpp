#include "base/asys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <regex>

#include "common/scratch_dir.h"

TEST(BinaryFile, OpenForReadingAMissingFileReturnsFalse) {
  scratch_dir t;
  binfile h;
  h.name = "kept";
  EXPECT_FALSE(file_open(h, t.file("missing.bin"), binfile_read));
  EXPECT_EQ(h.f, nullptr);
  EXPECT_EQ(h.name, "kept");
  EXPECT_FALSE(file_open(h, t.file("no/such/folder.bin"), binfile_read));
  EXPECT_THROW(file_read(h, nullptr, 1), io_error);
}

TEST(BinaryFile, WriteSeekReadRoundTrip) {
  scratch_dir t;
  std::string name = t.file("data.bin");
  binfile h;
  ASSERT_TRUE(file_open(h, name, binfile_write));
  EXPECT_EQ(file_size(h), 0u);
  EXPECT_TRUE(file_exists(name));
  const char text[] = "0123456789";
  file_write(h, text, 10);
  EXPECT_EQ(file_position(h), 10u);
  EXPECT_EQ(file_size(h), 10u);  // buffered bytes count
  file_close(h);
  file_close(h);  // closing twice is harmless

  ASSERT_TRUE(file_open(h, name, binfile_read));
  file_seek(h, 6);
  char got[4];
  file_read(h, got, 4);
  EXPECT_EQ(std::string(got, 4), "6789");
  EXPECT_EQ(file_position(h), 10u);
  file_seek(h, 8);
  EXPECT_THROW(file_read(h, got, 3), io_error);  // only two bytes remain
  std::vector<uint8_t> all = file_read_all(name);
  EXPECT_EQ(std::string(all.begin(), all.end()), "0123456789");
}

TEST(BinaryFile, FailuresRaiseIoError) {
  scratch_dir t;
  binfile h;
  EXPECT_THROW(file_open(h, t.file("no/folder/x.bin"), binfile_write), io_error);
  EXPECT_THROW(file_open(h, t.path, binfile_read), io_error);  // a folder is not a file
  EXPECT_FALSE(file_exists(t.path));
  EXPECT_THROW(file_read_all(t.file("missing")), io_error);
  EXPECT_THROW(file_write(h, "x", 1), io_error);  // not open
  EXPECT_THROW(file_position(h), io_error);
  try {
    file_read_all(t.file("missing"));
    ADD_FAILURE() << "no error for a missing file";
  } catch (const io_error& e) {
    EXPECT_NE(std::string(e.what()).find("missing"), std::string::npos);  // names the file
  }
}

TEST(BinaryFile, MappedFilesHoldTheirBytesAndFailuresRaise) {
  scratch_dir t;
  const std::string name = t.file("data.bin"), empty = t.file("empty.bin");
  binfile h;
  ASSERT_TRUE(file_open(h, name, binfile_write));
  file_write(h, "0123456789", 10);
  file_close(h);
  ASSERT_TRUE(file_open(h, empty, binfile_write));
  file_close(h);
  mapped_file m;
  file_map(m, name);
  ASSERT_EQ(m.size, 10u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.data), m.size), "0123456789");
  file_map(m, empty);  // the earlier mapping is let go
  EXPECT_EQ(m.size, 0u);
  EXPECT_EQ(m.data, nullptr);
  EXPECT_THROW(file_map(m, t.file("missing")), io_error);
  EXPECT_THROW(file_map(m, t.path), io_error);  // a folder is not a file
  EXPECT_EQ(m.name, empty);  // a failure leaves the record as it was
}

TEST(BinaryFile, FullDiskIsReportedNotLost) {
  binfile h;
  if (!posix_files || !file_open(h, "/dev/full", binfile_write)) GTEST_SKIP() << "no /dev/full";
  char block[256] = {};
  try {
    file_write(h, block, sizeof block);  // may still sit in the buffer
    file_close(h);
    ADD_FAILURE() << "writing to a full device reported success";
  } catch (const io_error&) {
  }
}

TEST(BinaryFile, OtherModesOnlyBindTheName) {
  scratch_dir t;
  binfile h;
  EXPECT_TRUE(file_open(h, t.file("later.bin"), 3));
  EXPECT_EQ(h.name, t.file("later.bin"));
  EXPECT_EQ(h.f, nullptr);
  EXPECT_FALSE(file_exists(t.file("later.bin")));
}

TEST(TimeTexts, StampAndDateFormats) {
  EXPECT_EQ(time_stamp(local_time{2009, 9, 27, 9, 5, 3, 7}), "090927_09-05-03-007");
  EXPECT_EQ(time_stamp(local_time{2100, 12, 31, 23, 59, 59, 999}), "001231_23-59-59-999");
  EXPECT_TRUE(std::regex_match(time_stamp(), std::regex(R"(\d{6}_\d\d-\d\d-\d\d-\d{3})")));
  EXPECT_TRUE(std::regex_match(date_time_text(), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
  local_time n = now_local();
  EXPECT_GE(n.year, 2020);
  EXPECT_LT(n.millisecond, 1000);
}

TEST(PairedSort, SortsKeysAndCarriesIndices) {
  aointeger index{'a', 'b', 'c'};
  adouble key{3, 1, 2};
  paired_sort(index, key, 2);
  EXPECT_EQ(key, (adouble{1, 2, 3}));
  EXPECT_EQ(index, (aointeger{'b', 'c', 'a'}));

  aointeger i2{1, 2, 3};
  adouble k2{5, 4, 3};
  paired_sort(i2, k2, 1);  // only the first two
  EXPECT_EQ(k2, (adouble{4, 5, 3}));
  paired_sort(i2, k2, 0);
  EXPECT_EQ(k2, (adouble{4, 5, 3}));
  paired_sort(i2, k2, 99);  // a last index past the arrays sorts what is there
  EXPECT_EQ(k2, (adouble{3, 4, 5}));
  EXPECT_EQ(i2, (aointeger{3, 2, 1}));
}

TEST(PairedSort, LargeInputsWithDuplicatesAndNaN) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20; round++) {
    int n = 1 + int(rng() % 2000);
    adouble key(n), original(n);
    aointeger index(n);
    for (int i = 0; i < n; i++) {
      key[i] = original[i] = double(rng() % (round % 2 ? 7 : 100000));
      index[i] = i;
    }
    paired_sort(index, key, n - 1);
    ASSERT_TRUE(std::is_sorted(key.begin(), key.end()));
    for (int i = 0; i < n; i++) ASSERT_EQ(key[i], original[index[i]]);
    std::sort(index.begin(), index.end());
    for (int i = 0; i < n; i++) ASSERT_EQ(index[i], i);  // a permutation
  }
  adouble nan_keys{2, NAN, 1, NAN, 0};
  aointeger idx{0, 1, 2, 3, 4};
  paired_sort(idx, nan_keys, 4);  // undefined order, but it must end and stay in bounds
  EXPECT_EQ(std::count_if(nan_keys.begin(), nan_keys.end(), [](double k) { return std::isnan(k); }), 2);
}
