// filef: directory listings and whole-file replacement.
#include "design/filef.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// --- Listing ---------------------------------------------------------------------------

bool name_matches(const std::string& name, const std::string& wildcard) {
  if (wildcard == "*.*") return true;                // every name, with or without a dot
  size_t n = 0, w = 0, star = std::string::npos, resume = 0;
  auto same = [](char a, char b) { return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b)); };
  while (n < name.size()) {
    if (w < wildcard.size() && (wildcard[w] == '?' || same(wildcard[w], name[n]))) { ++n; ++w; }
    else if (w < wildcard.size() && wildcard[w] == '*') { star = w++; resume = n; }
    else if (star != std::string::npos) { w = star + 1; n = ++resume; }
    else return false;
  }
  while (w < wildcard.size() && wildcard[w] == '*') ++w;
  return w == wildcard.size();
}

static int attributes_of(const std::string& path, const std::string& name) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return attr_none;
  int a = S_ISDIR(st.st_mode) ? attr_directory : S_ISREG(st.st_mode) ? attr_archive : attr_system;
  if (name[0] == '.') a |= attr_hidden;
  if (access(path.c_str(), W_OK) != 0) a |= attr_read_only;
  return a;
}

astr list_directory(const std::string& pattern, int mask) {
  const size_t cut = pattern.find_last_of("/\\");
  const std::string folder = cut == std::string::npos ? "." : pattern.substr(0, cut);
  const std::string wildcard = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  astr names;
  DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
  if (!dir) return names;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == ".." || !name_matches(name, wildcard)) continue;
    if (attributes_of(folder + "/" + name, name) & mask) names.push_back(name);
  }
  closedir(dir);
  return names;
}

// --- Whole-file replacement ------------------------------------------------------------

[[noreturn]] static void write_failed(const std::string& name, int err, const std::string& temp) {
  if (!temp.empty()) unlink(temp.c_str());
  throw io_error("cannot write " + name + ": " + std::strerror(err));
}

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

// Temporary files are named ".corvane-PID-XXXXXX". A writer killed before its
// rename leaves one behind; the next write to the folder removes those whose
// process is gone, and leaves a running writer's file alone.
static constexpr std::string_view temp_prefix = ".corvane-";

static bool writer_gone(const std::string& name) {
  const char* digits = name.c_str() + temp_prefix.size();
  char* end = nullptr;
  const long pid = std::strtol(digits, &end, 10);
  if (end == digits || *end != '-' || std::strlen(end + 1) != 6 || pid <= 0) return false;
  return kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

static void remove_stale_temporaries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;  // the write itself reports why the folder cannot be used
  while (const dirent* e = readdir(dir)) {
    const std::string entry = e->d_name;
    if (entry.starts_with(temp_prefix) && writer_gone(entry)) unlink((folder + entry).c_str());
  }
  closedir(dir);
}

void replace_file(const std::string& name, const void* data, size_t size) {
  const size_t cut = name.find_last_of('/');
  const std::string folder = cut == std::string::npos ? std::string("./") : name.substr(0, cut + 1);
  remove_stale_temporaries(folder);
  std::string temp = folder + std::string(temp_prefix) + std::to_string(getpid()) + "-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) write_failed(name, errno, "");
  const uint8_t* p = static_cast<const uint8_t*>(data);
  size_t left = size;
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) { const int err = n < 0 ? errno : EIO; close(fd); write_failed(name, err, temp); }
    p += n;
    left -= size_t(n);
  }
  if (fchmod(fd, mode_for(name)) != 0 || fsync(fd) != 0) { const int err = errno; close(fd); write_failed(name, err, temp); }
  if (close(fd) != 0) write_failed(name, errno, temp);
  if (rename(temp.c_str(), name.c_str()) != 0) write_failed(name, errno, temp);
}
