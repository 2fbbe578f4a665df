#include "generate/outfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A name beside the target that no other writer uses; O_EXCL guarantees it.
int open_temporary(const std::string& target, std::string& temp_name) {
  static int counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_name = target + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    int fd = open(temp_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

[[noreturn]] void fail(const std::string& name, const char* what, int err) {
  throw io_error("Cannot " + std::string(what) + " \"" + name + "\": " + std::strerror(err));
}

// Closes the stream exactly once, whatever happens; reports whether all data reached the file.
bool close_stream(binfile& h) {
  FILE* f = h.f;
  h.f = nullptr;
  if (!f) return true;
  bool ok = fflush(f) == 0 && !ferror(f);
  return fclose(f) == 0 && ok;
}

}  // namespace

void write_replacing(const std::string& name, const std::function<void(binfile&)>& write_body) {
  std::string temp_name;
  int fd = open_temporary(name, temp_name);
  if (fd < 0) fail(name, "create", errno);
  binfile h;
  h.name = temp_name;
  h.f = fdopen(fd, "wb");
  if (!h.f) {
    int err = errno;
    close(fd);
    unlink(temp_name.c_str());
    fail(name, "create", err);
  }
  try {
    write_body(h);
    if (!close_stream(h)) fail(name, "write", errno);
    if (rename(temp_name.c_str(), name.c_str()) != 0) fail(name, "replace", errno);
  } catch (...) {
    close_stream(h);
    unlink(temp_name.c_str());
    throw;
  }
}

void write_replacing(const std::string& name, const std::string& bytes) {
  write_replacing(name, [&](binfile& h) { file_write(h, bytes.data(), bytes.size()); });
}
