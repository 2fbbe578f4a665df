// sys: folders, file kinds and whole-file replacement; a POSIX body and a Win32 body
// behind the same functions, with the parts that do not depend on the system shared.
//
// Sections: shared helpers / POSIX body / Win32 body / folders made and whole-file replacement.
#include "base/sys.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#include <random>
#include <io.h>
#include <psapi.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#endif

// --- Shared helpers ----------------------------------------------------------------------

// Temporary files are named ".corvane-PID-XXXXXX". A writer killed before its
// rename leaves one behind; the next write to the folder removes those whose
// process is gone, and leaves a running writer's file alone.
static constexpr std::string_view temp_prefix = ".corvane-";

static bool process_gone(long pid);
static void remove_file(const std::string& name);

static bool writer_gone(const std::string& name) {
  const char* digits = name.c_str() + temp_prefix.size();
  char* end = nullptr;
  const long pid = std::strtol(digits, &end, 10);
  if (end == digits || *end != '-' || std::strlen(end + 1) != 6 || pid <= 0) return false;
  return process_gone(pid);
}

static void remove_stale_temporaries(const std::string& folder) {
  for (const std::string& entry : folder_entries(folder))
    if (entry.starts_with(temp_prefix) && writer_gone(entry)) remove_file(folder + entry);
}

#ifndef _WIN32
// --- POSIX body --------------------------------------------------------------------------

path_kind kind_of_path(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? path_missing : path_unreachable;
  if (S_ISREG(st.st_mode)) return path_regular;
  return S_ISDIR(st.st_mode) ? path_folder : path_other;
}

bool path_writable(const std::string& path) { return access(path.c_str(), W_OK) == 0; }

int64_t stream_size(FILE* f) {
  struct stat st;
  if (std::fflush(f) != 0 || fstat(fileno(f), &st) != 0) return -1;
  return int64_t(st.st_size);
}

astr folder_entries(const std::string& folder) {
  astr names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* e = readdir(dir))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
  closedir(dir);
  return names;
}

static bool make_folder(const std::string& folder) { return mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST; }

std::string enterable_folder(const std::string& folder) {
  char* full = realpath(folder.c_str(), nullptr);
  std::string result = full ? full : "";
  std::free(full);
  if (result.empty() || kind_of_path(result) != path_folder || access(result.c_str(), X_OK) != 0) return "";
  return result;
}

std::string current_folder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : ".";
}

bool enter_folder(const std::string& folder) { return chdir(folder.c_str()) == 0; }

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string link_target(const std::string& name) {
  std::string path = name;
  for (int hops = 0; hops < 40; ++hops) {               // the system's own limit on a chain of links
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string to(size_t(st.st_size) + 1, '\0');
    const ssize_t n = readlink(path.c_str(), to.data(), to.size());
    if (n < 0 || size_t(n) >= to.size()) return path;  // changed under us: write what the name says
    to.resize(size_t(n));
    const size_t cut = path.find_last_of('/');
    path = to[0] == '/' || cut == std::string::npos ? to : path.substr(0, cut + 1) + to;
  }
  return path;
}

memory_figures memory_in_use() {
  memory_figures m;
  const struct mallinfo2 heap = mallinfo2();
  m.heap_bytes = int64_t(heap.uordblks + heap.hblkhd);
  std::ifstream in("/proc/meminfo");
  std::string key;
  long long kb = 0;
  while (in >> key >> kb) {
    if (key == "MemAvailable:") { m.available_bytes = int64_t(kb) << 10; break; }
    in.ignore(256, '\n');
  }
  return m;
}

static bool process_gone(long pid) { return kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

static void remove_file(const std::string& name) { unlink(name.c_str()); }

std::string system_error_text(int err) { return std::strerror(err); }

// The process's umask, read without changing it (setting it, even briefly, would race
// with a simulator being started on another thread); 022 when it cannot be read.
static mode_t current_umask() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 022;
  char line[256];
  unsigned mask = 022;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
  std::fclose(f);
  return mode_t(mask & 0777);
}

// New files get the usual 0666 less the umask; a replaced file keeps its mode.
static mode_t mode_for(const std::string& name) {
  struct stat st;
  if (stat(name.c_str(), &st) == 0) return st.st_mode & 07777;
  return 0666 & ~current_umask();
}

// Writes data into a new temporary file of folder; its name, or "" with err set.
static std::string write_temporary(const std::string& folder, const std::string& target, const void* data,
                                   size_t size, int& err) {
  std::string temp = folder + std::string(temp_prefix) + std::to_string(getpid()) + "-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return err = errno, "";
  auto failed = [&](int why) {
    err = why;
    unlink(temp.c_str());
    return std::string();
  };
  const uint8_t* p = static_cast<const uint8_t*>(data);
  size_t left = size;
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) { const int why = n < 0 ? errno : EIO; close(fd); return failed(why); }
    p += n;
    left -= size_t(n);
  }
  if (fchmod(fd, mode_for(target)) != 0 || fsync(fd) != 0) { const int why = errno; close(fd); return failed(why); }
  if (close(fd) != 0) return failed(errno);
  return temp;
}

static bool move_over(const std::string& temp, const std::string& target, int& err) {
  if (rename(temp.c_str(), target.c_str()) == 0) return true;
  err = errno;
  return false;
}

static const char* reserved_name_problem(const std::string&) { return nullptr; }

#else
// --- Win32 body --------------------------------------------------------------------------
// Names are UTF-8 and reach the system through the wide calls. Paths near or over the
// classic 260-character limit are made absolute and given the "\\?\" prefix.

std::wstring wide_text(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
  return out;
}

std::string utf8_text(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring wide_path(const std::string& path) {
  std::wstring w = wide_text(path.empty() ? std::string(".") : path);
  for (wchar_t& c : w) if (c == L'/') c = L'\\';
  if (w.size() < 240 || w.starts_with(L"\\\\?\\")) return w;  // CreateDirectory stops at 248
  const DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return w;
  full.resize(got);
  return full.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

// The device name that Windows reserves, when the last component of path is one
// ("CON", "aux.txt", "LPT1.design"...): such a name means the device in every folder.
static std::string reserved_device(const std::string& path) {
  const size_t cut = path.find_last_of("/\\:");
  std::string base = path.substr(cut == std::string::npos ? 0 : cut + 1);
  base = base.substr(0, base.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  std::string upper;
  for (char c : base) upper += char(c >= 'a' && c <= 'z' ? c - 32 : c);
  for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (upper == name) return upper;
  if (!upper.starts_with("COM") && !upper.starts_with("LPT")) return "";
  const std::string number = upper.substr(3);  // a digit, or a superscript 1, 2 or 3
  const bool digit = number.size() == 1 && number[0] >= '0' && number[0] <= '9';
  const bool superscript = number == "\xc2\xb9" || number == "\xc2\xb2" || number == "\xc2\xb3";
  return digit || superscript ? upper : "";
}

path_kind kind_of_path(const std::string& path) {
  if (!reserved_device(path).empty()) return path_other;
  const DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD err = GetLastError();
    const bool missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_INVALID_NAME ||
                         err == ERROR_BAD_NETPATH || err == ERROR_DIRECTORY;
    if (!missing) errno = EACCES;
    return missing ? path_missing : path_unreachable;
  }
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? path_folder : path_regular;
}

bool path_writable(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !(attributes & FILE_ATTRIBUTE_READONLY));
}

int64_t stream_size(FILE* f) {
  if (std::fflush(f) != 0) return -1;
  return _filelengthi64(_fileno(f));
}

astr folder_entries(const std::string& folder) {
  astr names;
  WIN32_FIND_DATAW found;
  std::wstring pattern = wide_path(folder.empty() ? std::string(".") : folder);
  if (pattern.back() != L'\\') pattern += L'\\';
  HANDLE h = FindFirstFileW((pattern + L"*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = utf8_text(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

static bool make_folder(const std::string& folder) {
  return CreateDirectoryW(wide_path(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

static std::string full_path(const std::string& path) {
  const std::wstring w = wide_path(path);
  const DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (n == 0) return "";
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return "";
  full.resize(got);
  if (full.starts_with(L"\\\\?\\")) full.erase(0, 4);
  return utf8_text(full);
}

std::string enterable_folder(const std::string& folder) {
  std::string result = full_path(folder);
  return !result.empty() && kind_of_path(result) == path_folder ? result : "";
}

std::string current_folder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring w(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, w.data());
  if (got == 0 || got >= n) return ".";
  w.resize(got);
  return utf8_text(w);
}

bool enter_folder(const std::string& folder) { return SetCurrentDirectoryW(wide_path(folder).c_str()); }

// The volume and file index that name one file, whatever path reaches it.
static bool file_identity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileW(wide_path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  return ok;
}

bool same_file(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return file_identity(a, ia) && file_identity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// Replacing a link on Windows replaces the link itself, as Explorer's own saves do.
std::string link_target(const std::string& name) { return name; }

memory_figures memory_in_use() {
  memory_figures m;
  PROCESS_MEMORY_COUNTERS counters{};
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) m.heap_bytes = int64_t(counters.PagefileUsage);
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (GlobalMemoryStatusEx(&status)) m.available_bytes = int64_t(status.ullAvailPhys);
  return m;
}

static bool process_gone(long pid) {
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
  if (!h) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool ended = GetExitCodeProcess(h, &code) && code != STILL_ACTIVE;
  CloseHandle(h);
  return ended;
}

static void remove_file(const std::string& name) { DeleteFileW(wide_path(name).c_str()); }

// The reasons a user can act on, in words; the system's own text for the rest.
std::string system_error_text(int err) {
  switch (err) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "the file is open in another program; close it there and try again";
    case ERROR_ACCESS_DENIED: return "access denied (the file may be read-only or open in another program)";
    case ERROR_PATH_NOT_FOUND: return "the folder does not exist";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "the disk is full";
    case ERROR_FILENAME_EXCED_RANGE: return "the path is too long";
    case ERROR_INVALID_NAME: return "the name is not valid on Windows";
  }
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 DWORD(err), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = text ? text : "error " + std::to_string(err);
  LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
  return out;
}

// Six letters and digits that make a temporary name unlikely to be taken.
static std::string random_suffix() {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static thread_local std::mt19937 pick{std::random_device{}()};
  std::string s(6, 'x');
  for (char& c : s) c = letters[pick() % (sizeof letters - 1)];
  return s;
}

static std::string write_temporary(const std::string& folder, const std::string& target, const void* data,
                                   size_t size, int& err) {
  std::string temp;
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int tries = 0; h == INVALID_HANDLE_VALUE && tries < 100; ++tries) {
    temp = folder + std::string(temp_prefix) + std::to_string(GetCurrentProcessId()) + "-" + random_suffix();
    h = CreateFileW(wide_path(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (h == INVALID_HANDLE_VALUE) return err = int(GetLastError()), "";
  const uint8_t* p = static_cast<const uint8_t*>(data);
  size_t left = size;
  bool done = true;
  while (done && left > 0) {
    DWORD wrote = 0;
    done = WriteFile(h, p, DWORD(std::min<size_t>(left, 1u << 30)), &wrote, nullptr) && wrote > 0;
    p += wrote;
    left -= wrote;
  }
  done = done && FlushFileBuffers(h);
  if (!done) err = int(GetLastError());
  CloseHandle(h);
  if (done) return temp;
  DeleteFileW(wide_path(temp).c_str());
  return "";
}

// Another program holding the target open (a viewer, a virus scanner, the indexer)
// makes the replacement fail for as long as it holds it; a short hold is waited out.
static bool move_over(const std::string& temp, const std::string& target, int& err) {
  const std::wstring from = wide_path(temp), to = wide_path(target);
  for (int tries = 0; tries < 10; ++tries) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    err = int(GetLastError());
    if (err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION && err != ERROR_ACCESS_DENIED) return false;
    Sleep(50);
  }
  return false;
}

static const char* reserved_name_problem(const std::string& target) {
  return reserved_device(target).empty()
             ? nullptr
             : "the name is reserved by Windows for a device (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9)";
}

#endif

// --- Folders made and whole-file replacement -----------------------------------------------

bool make_folders(const std::string& folder) {
  if (folder.empty() || kind_of_path(folder) == path_folder) return true;
  const size_t cut = folder.find_last_of(path_separators, folder.find_last_not_of(path_separators));
  if (cut != std::string::npos && cut > 0 && !make_folders(folder.substr(0, cut))) return false;
  return make_folder(folder);
}

[[noreturn]] static void write_failed(const std::string& name, int err) {
  throw io_error("cannot write " + name + ": " + system_error_text(err));
}

// Why a target that exists cannot be replaced by a file, or null when it can.
static const char* unwritable_kind(const std::string& target) {
  if (const char* why = reserved_name_problem(target)) return why;
  switch (kind_of_path(target)) {
    case path_folder: return "it is a folder";
    case path_other: return "it is not a regular file (a device, a pipe or a socket)";
    default: return nullptr;
  }
}

void replace_file(const std::string& name, const void* data, size_t size) {
  const std::string target = link_target(name);
  if (const char* why = unwritable_kind(target)) throw io_error("cannot write " + name + ": " + why);
  const size_t cut = target.find_last_of(path_separators);
  const std::string folder = cut == std::string::npos ? std::string("./") : target.substr(0, cut + 1);
  remove_stale_temporaries(folder);
  int err = 0;
  const std::string temp = write_temporary(folder, target, data, size, err);
  if (temp.empty()) write_failed(name, err);
  if (!move_over(temp, target, err)) {
    remove_file(temp);
    write_failed(name, err);
  }
}
