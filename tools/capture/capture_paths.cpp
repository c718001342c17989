#include "capture_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sgcapture {

namespace {

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeDirectories(const std::string& path) {
  if (path.empty() || IsDirectory(path)) return true;
  if (!MakeDirectories(Parent(path))) return false;
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

// Tries the file for real (permissions alone don't tell, for root): opens
// it without truncating, or creates and removes it.
bool ProbeWritable(const std::string& path) {
  bool existed = access(path.c_str(), F_OK) == 0;
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  close(fd);
  if (!existed) unlink(path.c_str());
  return true;
}

std::string ExecutableFolder() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return "";
  path[length] = '\0';
  return Parent(path);
}

}  // namespace

std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[4096];
  return getcwd(cwd, sizeof(cwd)) ? std::string(cwd) + "/" + path : path;
}

bool CanWriteFile(const std::string& path, std::string& why) {
  if (IsDirectory(path)) {
    why = path + ": it is a folder";
    return false;
  }
  if (ProbeWritable(path)) return true;
  why = path + ": " + std::strerror(errno);
  return false;
}

bool CanWriteInto(const std::string& folder, std::string& why) {
  if (MakeDirectories(folder) && ProbeWritable(folder + "/.stormglass-write-test")) return true;
  why = "into " + folder + ": " + std::strerror(errno);
  return false;
}

std::string FindDataDir(const std::string& given) {
  if (!given.empty()) return IsDirectory(given + "/datas") ? given : "";
  std::string exe = ExecutableFolder();
  for (const std::string& candidate : {std::string("."), exe, exe + "/../../share/stormglass"}) {
    if (IsDirectory(candidate + "/datas")) return candidate;
  }
  return "";
}

}  // namespace sgcapture
