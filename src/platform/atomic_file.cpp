#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <random>
#include <vector>

#include "platform/system_error.h"

namespace orti {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr const char* kTemporaryTag = ".orti415-";
constexpr size_t kTemporaryRandomChars = 6;
constexpr int kTemporaryAttempts = 100;
constexpr const char* kNameChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr const char* kDanglingLink =
    "символическая ссылка ведет к несуществующему файлу; через ссылку новый файл не создается";

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

// Writes everything from `from` on, one chunk per call; the seam is asked before each.
int WriteAll(int fd, const std::string& bytes, size_t from, ReplaceSeam* seam, ReplaceStep step) {
  size_t done = from;
  while (done < bytes.size() || done == from) {
    if (int e = Ask(seam, step)) return e;
    if (done == bytes.size()) break;
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

// A temporary file of ours that no process holds (the writer keeps it locked)
// or that has been lying there for over an hour.
bool IsLeftover(int dirFd, const char* entry, const struct stat& st) {
  if (std::time(nullptr) - st.st_mtime > kLeftoverAgeSeconds) return true;
  const int fd = openat(dirFd, entry, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  close(fd);
  return free;
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
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        IsLeftover(dirfd(d), e->d_name, st)) {
      leftovers.push_back(entry);
    }
  }
  for (const auto& entry : leftovers) unlinkat(dirfd(d), entry.c_str(), 0);
  closedir(d);
}

// Creates ".NAME.orti415-XXXXXX" exclusively, never through a link, and locks
// it; `mode` goes through the umask as for any new file. A file removed by
// another console's sweep before the lock was taken is made afresh.
int CreateTemporary(const std::string& dir, const std::string& name, mode_t mode,
                    std::string& path) {
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<size_t> pick(0, 61);
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    path = dir + TemporaryPrefix(name);
    for (size_t i = 0; i < kTemporaryRandomChars; ++i) path += kNameChars[pick(random)];
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    struct stat st {};
    if (flock(fd, LOCK_EX) == 0 && fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
    close(fd);
  }
  errno = EEXIST;
  return -1;
}

// Moves the temporary file to a name that must still be free: a file or link
// that appeared there meanwhile is never replaced.
int RenameNew(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  // A file system without the flag: a hard link fails on a taken name as well.
  if (link(from.c_str(), to.c_str()) == 0) {
    unlink(from.c_str());
    return 0;
  }
  if (errno != EPERM && errno != ENOTSUP) return errno;
  struct stat st {};
  if (lstat(to.c_str(), &st) == 0) return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Gives the temporary file the target's bits and group (and owner, for the
// superuser); false when the group cannot be kept.
bool TakeOwnership(int fd, const struct stat& old) {
  fchmod(fd, old.st_mode & 07777);
  if (geteuid() == 0) return fchown(fd, old.st_uid, old.st_gid) == 0;
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  return st.st_gid == old.st_gid || fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

// Writes the target itself; an extension keeps the bytes it has and appends.
FileResult WriteInPlace(const std::string& target, const std::string& bytes, size_t keptBytes,
                        ReplaceSeam* seam) {
  int e = Ask(seam, ReplaceStep::kOpenInPlace);
  if (e == kSimulatedCrash) return Crashed();
  if (e) return {false, e};
  const int fd = open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return {false, errno};
  struct stat st {};
  size_t from = keptBytes;
  if (fstat(fd, &st) != 0 || static_cast<size_t>(st.st_size) < keptBytes) from = 0;
  if (ftruncate(fd, static_cast<off_t>(from)) != 0 ||
      lseek(fd, static_cast<off_t>(from), SEEK_SET) < 0) {
    const int err = errno;
    close(fd);
    return {false, err};
  }
  e = WriteAll(fd, bytes, from, seam, ReplaceStep::kWriteInPlace);
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

std::string FileErrorText(const FileResult& result) {
  return result.reason.empty() ? SystemErrorText(result.errorNumber) : result.reason;
}

std::string TemporaryPrefix(const std::string& fileName) {
  return "." + fileName + kTemporaryTag;
}

FileResult ResolveLinks(const std::string& path, std::string& target, bool* throughLink) {
  std::string current = path;
  if (throughLink) *throughLink = false;
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
    if (throughLink) *throughLink = true;
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

FileResult ReplaceFile(const std::string& path, const std::string& bytes, ReplaceSeam* seam,
                       size_t keptBytes) {
  std::string target;
  bool throughLink = false;
  FileResult r = ResolveLinks(path, target, &throughLink);
  if (!r.ok) return r;
  bool exists = false;
  struct stat old {};
  r = CheckTarget(target, exists, old);
  if (!r.ok) return r;
  if (!exists && throughLink) return {false, ENOENT, kDanglingLink};
  if (!exists) keptBytes = 0;

  std::string dir, name;
  SplitPath(target, dir, name);
  int e = Ask(seam, ReplaceStep::kRemoveLeftovers);
  if (e == kSimulatedCrash) return Crashed();
  if (e == 0) RemoveLeftovers(dir, name);

  // A renamed file would become ours: another user's file is written in place.
  if (exists && geteuid() != 0 && old.st_uid != geteuid()) {
    return WriteInPlace(target, bytes, keptBytes, seam);
  }
  std::string temporary;
  e = Ask(seam, ReplaceStep::kCreateTemporary);
  if (e == kSimulatedCrash) return Crashed();
  const int fd = e ? -1 : CreateTemporary(dir, name, exists ? 0600 : 0666, temporary);
  if (fd < 0) {
    const int err = e ? e : errno;
    // The folder takes no new file, but the file itself may be written.
    if (exists && (err == EACCES || err == EPERM)) {
      return WriteInPlace(target, bytes, keptBytes, seam);
    }
    return {false, err};
  }
  auto fail = [&](int err, bool open) {
    if (err == kSimulatedCrash) {
      if (open) close(fd);
      return Crashed();
    }
    unlink(temporary.c_str());
    if (open) close(fd);
    return FileResult{false, err};
  };
  if (exists && !TakeOwnership(fd, old)) {
    unlink(temporary.c_str());
    close(fd);
    return WriteInPlace(target, bytes, keptBytes, seam);
  }

  e = WriteAll(fd, bytes, 0, seam, ReplaceStep::kWriteTemporary);
  if (e) return fail(e, true);
  e = Ask(seam, ReplaceStep::kFlushTemporary);
  if (e == 0 && fsync(fd) != 0) e = errno;
  if (e) return fail(e, true);
  // Still locked while renamed, so that no other console takes it for a leftover.
  e = Ask(seam, ReplaceStep::kRename);
  if (e == 0)
    e = exists ? (rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno)
               : RenameNew(temporary, target);
  if (e) return fail(e, true);
  e = Ask(seam, ReplaceStep::kCloseTemporary);
  close(fd);
  if (e == kSimulatedCrash) return Crashed();

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

FileResult ReadWholeFile(const std::string& path, std::string& bytes, size_t limit) {
  bytes.clear();
  // Non-blocking: opening a pipe nobody writes to must not wait.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {false, errno};
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    close(fd);
    return {false, err, "не обычный файл (папка, устройство или канал)"};
  }
  const FileResult tooLarge{false, EFBIG, "файл больше " + std::to_string(limit >> 20) + " МБ"};
  if (static_cast<size_t>(st.st_size) > limit) {
    close(fd);
    return tooLarge;
  }
  bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      close(fd);
      bytes.clear();
      return {false, err};
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
    if (bytes.size() > limit) {  // it grew while read
      close(fd);
      bytes.clear();
      return tooLarge;
    }
  }
  close(fd);
  return {};
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

}  // namespace orti
