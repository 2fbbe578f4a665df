// asys: binary files, time texts and the paired sort.
#include "base/asys.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>
#include "base/sys.h"

// --- Binary files ------------------------------------------------------------------

[[noreturn]] static void fail(const std::string& name, const char* what) {
  throw io_error(name + ": " + what);
}

[[noreturn]] static void fail_errno(const std::string& name) { fail(name, std::strerror(errno)); }

static FILE* stream(binfile& h) {
  if (!h.f) fail(h.name.empty() ? "(no file)" : h.name, "file is not open");
  return h.f;
}

binfile::~binfile() {
  if (f) std::fclose(f);  // errors were reported by an explicit file_close, if any
}

static FILE* open_stream(const std::string& name, const char* how) {
  if (kind_of_path(name) == path_folder) fail(name, "is a folder");
#ifdef _WIN32
  FILE* f = _wfopen(wide_path(name).c_str(), wide_text(how).c_str());  // UTF-8 names, long paths
#else
  FILE* f = std::fopen(name.c_str(), how);
#endif
  if (!f) fail_errno(name);
  return f;
}

#ifdef _WIN32
static int seek_stream(FILE* f, int64_t offset) { return _fseeki64(f, offset, SEEK_SET); }
static int64_t tell_stream(FILE* f) { return _ftelli64(f); }
#else
static int seek_stream(FILE* f, int64_t offset) { return fseeko(f, off_t(offset), SEEK_SET); }
static int64_t tell_stream(FILE* f) { return int64_t(ftello(f)); }
#endif

bool file_open(binfile& h, const std::string& name, int mode) {
  if (mode == binfile_read && kind_of_path(name) == path_missing) return false;  // the handle stays as it was
  FILE* f = nullptr;
  if (mode == binfile_read) f = open_stream(name, "rb");
  if (mode == binfile_write) f = open_stream(name, "wb");
  if (h.f) std::fclose(h.f);
  h.name = name;
  h.f = f;
  return true;
}

void file_close(binfile& h) {
  if (!h.f) return;
  FILE* f = std::exchange(h.f, nullptr);
  if (std::fclose(f) != 0) fail_errno(h.name);  // a delayed write error shows up here
}

void file_read(binfile& h, void* buffer, size_t count) {
  FILE* f = stream(h);
  if (count == 0) return;
  if (std::fread(buffer, 1, count, f) != count)
    fail(h.name, std::ferror(f) ? std::strerror(errno) : "read past the end of the file");
}

void file_write(binfile& h, const void* buffer, size_t count) {
  FILE* f = stream(h);
  if (count == 0) return;
  if (std::fwrite(buffer, 1, count, f) != count) fail_errno(h.name);
}

void file_seek(binfile& h, uint64_t offset) {
  FILE* f = stream(h);
  if (offset > uint64_t(INT64_MAX) || seek_stream(f, int64_t(offset)) != 0) fail_errno(h.name);
}

uint64_t file_position(binfile& h) {
  const int64_t p = tell_stream(stream(h));
  if (p < 0) fail_errno(h.name);
  return uint64_t(p);
}

uint64_t file_size(binfile& h) {
  FILE* f = stream(h);
  const int64_t size = stream_size(f);
  if (size < 0) fail_errno(h.name);
  return uint64_t(size);
}

bool file_exists(const std::string& name) {
  return kind_of_path(name) == path_regular;
}

read_result read_failure(read_status status, const std::string& message) { return {status, message}; }

read_result read_file_bytes(const std::string& name, std::vector<uint8_t>& out) {
  if (kind_of_path(name) == path_missing) return read_failure(read_missing, name + ": file not found");
  try {
    out = file_read_all(name);
  } catch (const io_error& e) {
    return read_failure(read_unreadable, e.what());
  }
  return {};
}

std::vector<uint8_t> file_read_all(const std::string& name) {
  binfile h;
  if (!file_open(h, name, binfile_read)) fail(name, "file not found");
  std::vector<uint8_t> data(file_size(h));
  file_read(h, data.data(), data.size());
  file_close(h);
  return data;
}

#ifdef _WIN32
static void unmap(const uint8_t* data, size_t) { UnmapViewOfFile(data); }

[[noreturn]] static void fail_system(const std::string& name) { fail(name, system_error_text(int(GetLastError())).c_str()); }

mapped_file::~mapped_file() {
  if (data) unmap(data, size);
}

// Others may go on reading and writing the file; the view is a snapshot for as long as
// nobody writes it, as with the private mapping of the POSIX body.
void file_map(mapped_file& m, const std::string& name) {
  if (kind_of_path(name) == path_folder) fail(name, "is not a regular file");
  HANDLE file = CreateFileW(wide_path(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail_system(name);
  LARGE_INTEGER length{};
  const bool sized = GetFileSizeEx(file, &length);
  HANDLE mapping = sized && length.QuadPart > 0 ? CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
  const void* p = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
  const DWORD err = GetLastError();
  if (mapping) CloseHandle(mapping);  // the view keeps the mapping alive
  CloseHandle(file);
  if (!sized || (length.QuadPart > 0 && !p)) SetLastError(err), fail_system(name);
  if (uint64_t(length.QuadPart) > SIZE_MAX) fail(name, "is too large to map");
  if (m.data) unmap(m.data, m.size);
  m.name = name;
  m.data = static_cast<const uint8_t*>(p);
  m.size = size_t(length.QuadPart);
}
#else
mapped_file::~mapped_file() {
  if (data) munmap(const_cast<uint8_t*>(data), size);
}

void file_map(mapped_file& m, const std::string& name) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail_errno(name);
  struct stat st;
  const bool stat_ok = fstat(fd, &st) == 0;
  const int stat_errno = errno;
  void* p = nullptr;
  if (stat_ok && S_ISREG(st.st_mode) && st.st_size > 0)  // an empty file cannot be mapped and needs no bytes
    p = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  const int map_errno = errno;
  close(fd);  // a mapping stays valid without its descriptor
  if (!stat_ok) errno = stat_errno, fail_errno(name);
  if (!S_ISREG(st.st_mode)) fail(name, "is not a regular file");
  if (p == MAP_FAILED) errno = map_errno, fail_errno(name);
  if (m.data) munmap(const_cast<uint8_t*>(m.data), m.size);
  m.name = name;
  m.data = static_cast<const uint8_t*>(p);
  m.size = size_t(st.st_size);
}

#endif

// --- Time texts --------------------------------------------------------------------

#ifdef _WIN32
local_time now_local() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}
#else
local_time now_local() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t;
  localtime_r(&ts.tv_sec, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
          t.tm_min, t.tm_sec, int(ts.tv_nsec / 1000000)};
}
#endif

std::string date_time_text() {
  local_time t = now_local();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buf;
}

std::string time_stamp() { return time_stamp(now_local()); }

std::string time_stamp(const local_time& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d_%02d-%02d-%02d-%03d", t.year % 100, t.month,
                t.day, t.hour, t.minute, t.second, t.millisecond);
  return buf;
}

// --- Paired sort ---------------------------------------------------------------------

// Quicksort around the middle key, swapping index and key together. Recursing into the
// smaller part only keeps the stack depth logarithmic.
static void sort_range(aointeger& index, adouble& key, int lo, int hi) {
  while (lo < hi) {
    double pivot = key[lo + (hi - lo) / 2];
    int i = lo, j = hi;
    while (i <= j) {
      while (key[i] < pivot) i++;
      while (key[j] > pivot) j--;
      if (i <= j) {
        std::swap(index[i], index[j]);
        std::swap(key[i], key[j]);
        i++;
        j--;
      }
    }
    if (j - lo < hi - i) {
      sort_range(index, key, lo, j);
      lo = i;
    } else {
      sort_range(index, key, i, hi);
      hi = j;
    }
  }
}

void paired_sort(aointeger& index, adouble& key, int last) {
  int n = int(std::min(index.size(), key.size()));
  if (last > n - 1) last = n - 1;  // never past either array
  if (last >= 1) sort_range(index, key, 0, last);
}
