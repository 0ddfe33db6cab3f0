#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace orti {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr const char* kTemporaryTag = ".orti415-";
constexpr size_t kTemporaryRandomChars = 6;  // mkstemp's XXXXXX

// What the seam says about a step: 0, an errno, or kSimulatedCrash.
int Ask(ReplaceSeam* seam, ReplaceStep step) {
  return seam ? seam->Before(step) : 0;
}

// A crash leaves everything as it is; the caller only learns that it failed.
FileResult Crashed() {
  return {false, ECANCELED};
}

void SplitPath(const std::string& path, std::string& dir, std::string& name) {
  const size_t slash = path.rfind('/');
  dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// The user may write the file: the system lets him, and the file is not
// read-only for everybody (which even the superuser respects here, as
// Windows does for the read-only attribute).
bool MayWrite(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) != 0 && access(path.c_str(), W_OK) == 0;
}

// Stats the resolved target: `exists` false for a missing one. Refuses what
// cannot be written as a file.
FileResult CheckTarget(const std::string& target, bool& exists, struct stat& st) {
  exists = stat(target.c_str(), &st) == 0;
  if (!exists) return errno == ENOENT ? FileResult{} : FileResult{false, errno};
  if (S_ISDIR(st.st_mode)) return {false, EISDIR};
  if (!S_ISREG(st.st_mode)) return {false, EINVAL};
  if (!MayWrite(target, st)) return {false, EACCES};
  return {};
}

// Writes everything, one chunk per call; the seam is asked before each.
int WriteAll(int fd, const std::string& bytes, ReplaceSeam* seam, ReplaceStep step) {
  size_t done = 0;
  while (done < bytes.size() || (done == 0 && bytes.empty())) {
    if (int e = Ask(seam, step)) return e;
    if (bytes.empty()) break;
    const size_t piece = std::min(kReplaceWriteChunk, bytes.size() - done);
    const ssize_t n = write(fd, bytes.data() + done, piece);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

// Removes ".NAME.orti415-XXXXXX" files that an earlier crash left behind.
void RemoveLeftovers(const std::string& dir, const std::string& name) {
  const std::string prefix = TemporaryPrefix(name);
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return;
  std::vector<std::string> leftovers;
  while (const dirent* e = readdir(d)) {
    const std::string entry = e->d_name;
    if (entry.size() != prefix.size() + kTemporaryRandomChars) continue;
    if (entry.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st {};
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
      leftovers.push_back(entry);
    }
  }
  for (const auto& entry : leftovers) unlinkat(dirfd(d), entry.c_str(), 0);
  closedir(d);
}

FileResult WriteInPlace(const std::string& target, const std::string& bytes, ReplaceSeam* seam) {
  int e = Ask(seam, ReplaceStep::kOpenInPlace);
  if (e == kSimulatedCrash) return Crashed();
  if (e) return {false, e};
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return {false, errno};
  if (ftruncate(fd, 0) != 0) {
    const int err = errno;
    close(fd);
    return {false, err};
  }
  e = WriteAll(fd, bytes, seam, ReplaceStep::kWriteInPlace);
  if (e == 0) e = Ask(seam, ReplaceStep::kFlushInPlace);
  if (e == 0 && fsync(fd) != 0) e = errno;
  if (e == kSimulatedCrash) {
    close(fd);
    return Crashed();
  }
  if (close(fd) != 0 && e == 0) e = errno;
  return e ? FileResult{false, e} : FileResult{};
}

}  // namespace

std::string TemporaryPrefix(const std::string& fileName) {
  return "." + fileName + kTemporaryTag;
}

FileResult ResolveLinks(const std::string& path, std::string& target) {
  std::string current = path;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0) {
      if (errno != ENOENT) return {false, errno};
      target = current;  // a file still to be created
      return {};
    }
    if (!S_ISLNK(st.st_mode)) {
      target = current;
      return {};
    }
    std::vector<char> link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = readlink(current.c_str(), link.data(), link.size());
    if (n < 0) return {false, errno};
    const std::string to(link.data(), static_cast<size_t>(n));
    if (!to.empty() && to.front() == '/') {
      current = to;
    } else {
      std::string dir, name;
      SplitPath(current, dir, name);
      current = dir + to;
    }
  }
  return {false, ELOOP};
}

FileResult ReplaceFile(const std::string& path, const std::string& bytes, ReplaceSeam* seam) {
  std::string target;
  FileResult r = ResolveLinks(path, target);
  if (!r.ok) return r;
  bool exists = false;
  struct stat old {};
  r = CheckTarget(target, exists, old);
  if (!r.ok) return r;

  std::string dir, name;
  SplitPath(target, dir, name);
  int e = Ask(seam, ReplaceStep::kRemoveLeftovers);
  if (e == kSimulatedCrash) return Crashed();
  if (e == 0) RemoveLeftovers(dir, name);

  const std::string pattern = dir + TemporaryPrefix(name) + "XXXXXX";
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  e = Ask(seam, ReplaceStep::kCreateTemporary);
  if (e == kSimulatedCrash) return Crashed();
  const int fd = e ? -1 : mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    const int err = e ? e : errno;
    // The folder takes no new file, but the file itself may be written.
    if (exists && (err == EACCES || err == EPERM)) return WriteInPlace(target, bytes, seam);
    return {false, err};
  }

  // mkstemp creates 0600: the new file keeps the old one's bits and owner.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, exists ? (old.st_mode & 07777) : (0666 & ~mask));
  if (exists && geteuid() == 0 && fchown(fd, old.st_uid, old.st_gid) != 0) {
    // best effort: the file stays the superuser's
  }

  auto fail = [&](int err, bool open) {
    if (err == kSimulatedCrash) {
      if (open) close(fd);
      return Crashed();
    }
    if (open) close(fd);
    unlink(temporary.data());
    return FileResult{false, err};
  };
  e = WriteAll(fd, bytes, seam, ReplaceStep::kWriteTemporary);
  if (e) return fail(e, true);
  e = Ask(seam, ReplaceStep::kFlushTemporary);
  if (e == 0 && fsync(fd) != 0) e = errno;
  if (e) return fail(e, true);
  e = Ask(seam, ReplaceStep::kCloseTemporary);
  if (e) return fail(e, true);
  if (close(fd) != 0) return fail(errno, false);
  e = Ask(seam, ReplaceStep::kRename);
  if (e == 0 && rename(temporary.data(), target.c_str()) != 0) e = errno;
  if (e) return fail(e, false);

  // The rename itself reaches the disk with the folder.
  e = Ask(seam, ReplaceStep::kFlushFolder);
  if (e == kSimulatedCrash) return Crashed();
  const int folder = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return {};
}

FileResult AppendToFile(const std::string& path, const std::string& bytes) {
  std::string target;
  FileResult r = ResolveLinks(path, target);
  if (!r.ok) return r;
  bool exists = false;
  struct stat st {};
  r = CheckTarget(target, exists, st);
  if (!r.ok) return r;
  if (!exists) return {false, ENOENT};
  const int fd = open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return {false, errno};
  int e = WriteAll(fd, bytes, nullptr, ReplaceStep::kWriteInPlace);
  if (e == 0 && fsync(fd) != 0) e = errno;
  if (close(fd) != 0 && e == 0) e = errno;
  return e ? FileResult{false, e} : FileResult{};
}

FileResult ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {false, errno};
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      close(fd);
      return {false, err};
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return {};
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

}  // namespace orti
