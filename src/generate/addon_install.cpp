// addon_install: planning and writing an add-on's files under the root.
#include "generate/addon_install.h"

#include "base/instpath.h"
#include "base/sys.h"
#include "generate/zipread.h"

namespace {

bool is_folder_entry(const std::string& name) { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }

// Whether the file at path exists with other bytes than data.
bool differs_on_disk(const std::string& path, const std::vector<uint8_t>& data) {
  if (kind_of_path(path) == path_missing) return false;
  std::vector<uint8_t> old;
  return !read_file_bytes(path, old) || old != data;
}

std::string below_root(const install_plan& p, const std::string& target) {
  return target.compare(0, p.root.size() + 1, p.root + "/") == 0 ? target.substr(p.root.size() + 1) : target;
}

}  // namespace

install_plan plan_install(const std::string& package, const std::string& root) {
  install_plan p;
  p.root = to_slashes(root);
  for (zip_entry& e : zip_read(package)) {
    const std::string rel = to_slashes(e.name);
    if (rel.empty() || !is_safe_relative(rel)) {
      p.refused.push_back(e.name + ": it would lie outside the installation");
      continue;
    }
    const std::string target = install_target(p.root, rel);
    if (is_folder_entry(e.name)) {
      p.folders.push_back(target);
      continue;
    }
    const bool differs = differs_on_disk(target, e.data);
    p.files.push_back({e.name, target, std::move(e.data), differs});
  }
  return p;
}

astr differing_files(const install_plan& p) {
  astr out;
  for (const install_file& f : p.files)
    if (f.differs) out.push_back(below_root(p, f.target));
  return out;
}

install_report install_package(const install_plan& p) {
  install_report r;
  for (const std::string& folder : p.folders) make_folders(folder);
  for (const install_file& f : p.files) {
    // Again now: a folder an earlier entry made is matched by the later ones in any spelling.
    const std::string target = install_target(p.root, to_slashes(f.entry));
    const size_t slash = target.find_last_of('/');
    if (slash != std::string::npos && !make_folders(target.substr(0, slash)))
      throw io_error("cannot write " + target + ": its folder cannot be made");
    replace_file(target, f.data.data(), f.data.size());
    ++r.files;
    r.bytes += f.data.size();
  }
  return r;
}
