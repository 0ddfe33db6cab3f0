#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace orti {

FileResult WriteFileAtomically(const std::string& path, const std::string& bytes) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return {false, errno};
  // mkstemp creates 0600; a replaced file should be readable like any other.
  mode_t mask = umask(0);
  umask(mask);
  struct stat old {};
  fchmod(fd, stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask));

  auto fail = [&](int err) {
    close(fd);
    unlink(name.data());
    return FileResult{false, err};
  };
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) return fail(errno);
  if (close(fd) != 0) {
    int err = errno;
    unlink(name.data());
    return {false, err};
  }
  if (rename(name.data(), path.c_str()) != 0) {
    int err = errno;
    unlink(name.data());
    return {false, err};
  }
  return {};
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
