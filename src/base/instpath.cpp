// instpath: installation paths, matched case-insensitively where the exact name is absent.
#include "base/instpath.h"

#include <algorithm>
#include <vector>
#include "base/strval.h"
#include "base/sys.h"

std::string to_backslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string to_slashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// The components of a path with either slash; empty and "." components are dropped.
static std::vector<std::string> components(const std::string& path) {
  std::vector<std::string> out;
  size_t start = 0;
  std::string p = to_slashes(path);
  while (start <= p.size()) {
    size_t end = std::min(p.find('/', start), p.size());
    std::string part = p.substr(start, end - start);
    if (!part.empty() && part != ".") out.push_back(part);
    start = end + 1;
  }
  return out;
}

bool is_safe_relative(const std::string& rel) {
  bool drive = rel.size() >= 2 && rel[1] == ':' &&
               ((rel[0] >= 'A' && rel[0] <= 'Z') || (rel[0] >= 'a' && rel[0] <= 'z'));
  if (drive || (!rel.empty() && (rel[0] == '/' || rel[0] == '\\'))) return false;
  auto parts = components(rel);
  return std::find(parts.begin(), parts.end(), "..") == parts.end();
}

static bool exists(const std::string& path) {
  const path_kind k = kind_of_path(path);
  return k != path_missing && k != path_unreachable;
}

static std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The entries of dir whose names equal name ignoring case: the exact spelling first,
// then the others in byte order, so that the choice does not depend on the order the
// folder lists them in.
static std::vector<std::string> matching_entries(const std::string& dir, const std::string& name) {
  std::vector<std::string> found;
  for (const std::string& entry : folder_entries(dir))
    if (same_ignoring_case(entry, name)) found.push_back(entry);
  std::sort(found.begin(), found.end());
  std::stable_partition(found.begin(), found.end(), [&](const std::string& e) { return e == name; });
  return found;
}

// Resolves parts[i..] below dir. An installation may hold both "Modules" and "modules"
// (an unpacked add-on brings its own spelling), so every spelling is tried in turn.
static std::string resolve(const std::string& dir, const std::vector<std::string>& parts, size_t i) {
  if (i == parts.size()) return exists(dir) ? dir : "";
  for (const std::string& entry : matching_entries(dir, parts[i])) {
    std::string path = resolve(join(dir, entry), parts, i + 1);
    if (!path.empty()) return path;
  }
  return "";
}

std::string install_path(const std::string& root, const std::string& rel) {
  std::string base = to_slashes(root);
  std::string exact = join(base, to_slashes(rel));
  if (exists(exact)) return exact;
  return resolve(base, components(rel), 0);
}

std::string install_target(const std::string& root, const std::string& rel) {
  const std::vector<std::string> parts = components(rel);
  std::string path = to_slashes(root);
  for (size_t i = 0; i < parts.size(); ++i) {
    const bool folder = i + 1 < parts.size();
    std::string chosen = parts[i];
    for (const std::string& entry : matching_entries(path, parts[i]))
      if ((kind_of_path(join(path, entry)) == path_folder) == folder) {
        chosen = entry;
        break;
      }
    path = join(path, chosen);
  }
  return path;
}
