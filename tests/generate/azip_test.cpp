#include "generate/azip.h"

#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>
#include "gen_test_util.h"

using namespace gentest;

namespace {

// An archive of the given entries, written into dir as name.
std::string build(const std::string& dir, const std::vector<std::pair<std::string, std::string>>& entries) {
  zipfile_rec z;
  for (const auto& [name, data] : entries) zip_set_text(z, zip_add_entry(z, name, 0), data);
  std::string path = dir + "/test.zip";
  zip_write(z, path);
  return path;
}

std::string pseudo_random(size_t n) {
  std::string s(n, '\0');
  uint32_t x = 12345;
  for (char& c : s) c = char((x = x * 1103515245 + 12345) >> 24);
  return s;
}

}  // namespace

TEST(azip, empty_archive_is_only_the_end_record) {
  scratch_dir scratch;
  std::string dir = scratch.path.string();
  std::string bytes = read_text(build(dir, {}));
  std::string expected("PK\x05\x06", 4);
  expected += std::string(18, '\0');
  EXPECT_EQ(bytes, expected);
}

TEST(azip, names_beyond_ascii_set_the_utf8_flag_in_both_headers) {
  zipfile_rec z;
  zip_add_entry(z, "meshes\\plain.msh", 0);
  zip_add_entry(z, "meshes\\f\xC3\xA9e.msh", 0);
  EXPECT_EQ(z.local[0].head.flags, 0);
  EXPECT_EQ(z.local[1].head.flags, zip_flag_utf8);
  EXPECT_EQ(z.central[1].head.flags, zip_flag_utf8);
}

TEST(azip, raw_deflate_is_the_zlib_stream_without_header_and_trailer) {
  for (const std::string& input : {std::string(), std::string("hello hello hello hello"), pseudo_random(70000)}) {
    uLongf size = compressBound(uLong(input.size()));
    std::string zlib_stream(size, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(zlib_stream.data()), &size,
                        reinterpret_cast<const Bytef*>(input.data()), uLong(input.size()), Z_DEFAULT_COMPRESSION),
              Z_OK);
    zlib_stream.resize(size);
    EXPECT_EQ(zip_deflate_raw(input.data(), input.size()), zlib_stream.substr(2, zlib_stream.size() - 6))
        << "input of " << input.size() << " bytes";
  }
}

TEST(azip, dos_time_and_date_pack_fields) {
  local_time t{2009, 9, 27, 13, 45, 59, 999};
  uint32_t v = dos_time_date(t);
  EXPECT_EQ(v & 0xFFFF, (13u << 11) | (45u << 5) | 29u);          // seconds in steps of two
  EXPECT_EQ(v >> 16, ((2009u - 1980u) << 9) | (9u << 5) | 27u);
  // A clock outside the years the format counts gives its first or last moment.
  EXPECT_EQ(dos_time_date({1970, 1, 1, 0, 0, 0, 0}), (((0u << 9) | (1u << 5) | 1u) << 16) | 0u);
  EXPECT_EQ(dos_time_date({1979, 12, 31, 23, 59, 59, 0}), dos_time_date({1980, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(dos_time_date({2150, 6, 1, 12, 0, 0, 0}),
            (((127u << 9) | (12u << 5) | 31u) << 16) | (23u << 11) | (59u << 5) | 29u);
}

TEST(azip, records_offsets_and_order_are_exact) {
  scratch_dir scratch;
  std::string dir = scratch.path.string();
  std::vector<std::pair<std::string, std::string>> entries = {
      {"modules\\vessel.dll", pseudo_random(5000)},
      {"config\\vessels\\The vessel.cfg", "; The vessel vessel class\r\nClassName=The vessel\r\n"},
      {"empty.txt", ""},
  };
  std::string zip = build(dir, entries);
  std::string s = read_text(zip);

  size_t end = s.size() - 22;
  ASSERT_EQ(u32_at(s, end), zip_end_signature);
  EXPECT_EQ(u16_at(s, end + 8), 3);
  EXPECT_EQ(u16_at(s, end + 10), 3);
  uint32_t central = u32_at(s, end + 16);
  EXPECT_EQ(central + u32_at(s, end + 12), end);  // the central directory ends where the end record starts

  size_t at = central, expected_local = 0;
  for (const auto& [name, data] : entries) {
    ASSERT_EQ(u32_at(s, at), zip_central_signature) << name;
    EXPECT_EQ(u16_at(s, at + 4), 20);
    EXPECT_EQ(u16_at(s, at + 6), 20);
    EXPECT_EQ(u16_at(s, at + 10), 8) << "method of " << name;
    EXPECT_EQ(u32_at(s, at + 16), zip_crc32(data.data(), data.size()));
    EXPECT_EQ(u32_at(s, at + 24), data.size());
    EXPECT_EQ(u32_at(s, at + 38), 0u);                       // external attributes as given
    uint32_t local = u32_at(s, at + 42);
    EXPECT_EQ(local, expected_local) << name;
    uint16_t name_length = u16_at(s, at + 28);
    EXPECT_EQ(s.substr(at + 46, name_length), name);         // backslashes kept

    // The local header repeats the same fields and is followed by the name and the data.
    ASSERT_EQ(u32_at(s, local), zip_local_signature);
    EXPECT_EQ(s.substr(local + 4, 26), s.substr(at + 6, 26));
    uint32_t compressed = u32_at(s, local + 18);
    EXPECT_EQ(s.substr(local + 30, name_length), name);
    EXPECT_EQ(s.substr(local + 30 + name_length, compressed), zip_deflate_raw(data.data(), data.size()));
    expected_local = local + 30 + name_length + compressed;
    at += 46 + name_length;
  }
  EXPECT_EQ(expected_local, central);  // nothing between the last entry's data and the central directory
}

TEST(azip, independent_readers_accept_the_archive) {
  scratch_dir scratch;
  std::string dir = scratch.path.string();
  std::string big = pseudo_random(100000) + std::string(300000, 'x');
  std::string zip = build(dir, {{"a\\b.txt", "some text\r\n"}, {"big.bin", big}, {"empty", ""}});
  std::string listing;
  EXPECT_EQ(python_zip_check(zip, listing), 0) << listing;
  EXPECT_EQ(listing, "a\\b.txt 8 11\nbig.bin 8 400000\nempty 8 0\nOK\n");
  std::string out;
  EXPECT_EQ(run("unzip -tq '" + zip + "'", &out), 0) << out;
}

TEST(azip, empty_entry_has_crc_zero_and_zlib_empty_stream) {
  zipfile_rec z;
  int i = zip_add_entry(z, "nothing", 0);
  zip_set_data(z, i, nullptr, 0);
  EXPECT_EQ(uint32_t(z.local[0].head.crc), 0u);
  EXPECT_EQ(uint32_t(z.local[0].head.uncompressed_size), 0u);
  EXPECT_EQ(z.local[0].data, std::string("\x03\x00", 2));  // the final empty fixed block
  EXPECT_EQ(uint32_t(z.central[0].head.compressed_size), 2u);
}

TEST(azip, bad_index_is_refused_and_changes_nothing) {
  zipfile_rec z;
  int i = zip_add_entry(z, "one", 7);
  zip_set_text(z, i, "first");
  std::string before = z.local[0].data;
  for (int bad : {-1, 1, 100}) {
    try {
      zip_set_text(z, bad, "second");
      ADD_FAILURE() << "index " << bad << " accepted";
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "Index out of range.");
    }
  }
  ASSERT_EQ(z.local.size(), 1u);
  EXPECT_EQ(z.local[0].data, before);
  EXPECT_EQ(uint32_t(z.central[0].head.external_attributes), 7u);
  EXPECT_EQ(uint32_t(z.central[0].head.crc), zip_crc32("first", 5));
}

TEST(azip, format_limits_are_refused_as_io_errors) {
  zipfile_rec z;
  EXPECT_THROW(zip_add_entry(z, std::string(70000, 'n'), 0), io_error);
  EXPECT_TRUE(z.local.empty() && z.central.empty());
  for (int i = 0; i < 65535; ++i) zip_add_entry(z, "e", 0);
  EXPECT_THROW(zip_add_entry(z, "one too many", 0), io_error);
  EXPECT_EQ(z.local.size(), 65535u);
  EXPECT_EQ(z.central.size(), 65535u);
}

TEST(azip, failed_write_keeps_the_previous_file) {
  scratch_dir scratch;
  std::string dir = scratch.path.string();
  std::string target = dir + "/addon.zip";
  write_text(target, "previous archive");
  zipfile_rec z;
  zip_set_text(z, zip_add_entry(z, "big", 0), pseudo_random(200000));

  // A file size limit makes the write fail part way, as a full disk would.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      zip_write(z, target);
    } catch (const io_error&) {
      _exit(3);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the failure was not reported";
  EXPECT_EQ(read_text(target), "previous archive");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "temporary file left behind";

  EXPECT_THROW(zip_write(z, dir + "/missing/addon.zip"), io_error);
}
