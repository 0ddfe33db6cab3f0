#pragma once
// A device file of a group of its own, for the messages about port
// permissions (the tests run as root, so the open itself is scripted).

#include <grp.h>
#include <unistd.h>

#include <string>

namespace orti::test {

// Gives `path` the first group that is neither root's nor ours; its name, or
// empty when there is none or the file cannot be given to it.
inline std::string GiveToAnotherGroup(const std::string& path) {
  std::string name;
  gid_t gid = 0;
  setgrent();
  while (const struct group* g = getgrent()) {
    if (g->gr_gid != 0 && g->gr_gid != getegid()) {
      gid = g->gr_gid;
      name = g->gr_name;
      break;
    }
  }
  endgrent();
  if (name.empty() || chown(path.c_str(), static_cast<uid_t>(-1), gid) != 0) return {};
  return name;
}

}  // namespace orti::test
