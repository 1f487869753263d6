#include "updater/Replace.h"

#include <system_error>

namespace updater {
namespace fs = std::filesystem;

bool RealFileOps::Copy(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec;
}

bool RealFileOps::Move(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(to, ec))) return false;
  fs::rename(from, to, ec);
  return !ec;
}

bool RealFileOps::Remove(const fs::path& path) {
  std::error_code ec;
  return fs::remove(path, ec) && !ec;
}

bool Replace(FileOps& ops, const Replacement& r) {
  if (!ops.Copy(r.source, r.newCopy)) {
    ops.Remove(r.newCopy);  // a copy that broke off half-way
    return false;
  }
  if (!ops.Move(r.target, r.backup)) {
    ops.Remove(r.newCopy);
    return false;
  }
  if (!ops.Move(r.newCopy, r.target)) {
    ops.Move(r.backup, r.target);
    ops.Remove(r.newCopy);
    return false;
  }
  return ops.Remove(r.backup);
}

}  // namespace updater
