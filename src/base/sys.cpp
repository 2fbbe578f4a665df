// sys: folders, file kinds and whole-file replacement over POSIX calls.
#include "base/sys.h"

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

// --- Paths and folders -----------------------------------------------------------------

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

bool make_folders(const std::string& folder) {
  if (folder.empty() || kind_of_path(folder) == path_folder) return true;
  const size_t cut = folder.find_last_of('/', folder.find_last_not_of('/'));
  if (cut != std::string::npos && cut > 0 && !make_folders(folder.substr(0, cut))) return false;
  return mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

std::string enterable_folder(const std::string& folder) {
  char* full = realpath(folder.c_str(), nullptr);
  std::string result = full ? full : "";
  std::free(full);
  if (result.empty() || kind_of_path(result) != path_folder || access(result.c_str(), X_OK) != 0) return "";
  return result;
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
  for (const std::string& entry : folder_entries(folder))
    if (entry.starts_with(temp_prefix) && writer_gone(entry)) unlink((folder + entry).c_str());
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
