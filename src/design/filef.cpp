// filef: directory listings.
#include "design/filef.h"

#include "base/strval.h"
#include "base/sys.h"

// --- Listing ---------------------------------------------------------------------------

bool name_matches(const std::string& name, const std::string& wildcard) {
  if (wildcard == "*.*") return true;                // every name, with or without a dot
  size_t n = 0, w = 0, star = std::string::npos, resume = 0;
  auto same = [](char a, char b) { return lower_ascii(a) == lower_ascii(b); };
  while (n < name.size()) {
    if (w < wildcard.size() && (wildcard[w] == '?' || same(wildcard[w], name[n]))) { ++n; ++w; }
    else if (w < wildcard.size() && wildcard[w] == '*') { star = w++; resume = n; }
    else if (star != std::string::npos) { w = star + 1; n = ++resume; }
    else return false;
  }
  while (w < wildcard.size() && wildcard[w] == '*') ++w;
  return w == wildcard.size();
}

// The attribute bit of each kind of path; a path the system cannot reach has none.
static constexpr int kind_attribute[] = {attr_none, attr_archive, attr_directory, attr_system, attr_none};

static int attributes_of(const std::string& path, const std::string& name) {
  int a = kind_attribute[kind_of_path(path)];
  if (a == attr_none) return attr_none;
  if (name[0] == '.') a |= attr_hidden;
  if (!path_writable(path)) a |= attr_read_only;
  return a;
}

astr list_directory(const std::string& pattern, int mask) {
  const size_t cut = pattern.find_last_of("/\\");
  const std::string folder = cut == std::string::npos ? "." : pattern.substr(0, cut);
  const std::string wildcard = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  astr names;
  for (const std::string& name : folder_entries(folder.empty() ? "/" : folder))
    if (name_matches(name, wildcard) && (attributes_of(folder + "/" + name, name) & mask)) names.push_back(name);
  return names;
}

