#pragma once
// Replacing an installed file by a new one through a backup name, and the
// file operations it uses behind a seam, so that tests can make any one of
// them fail.
#include <filesystem>

namespace updater {

class FileOps {
 public:
  virtual ~FileOps() = default;
  // Copies `from` to `to`, replacing an existing `to`.
  virtual bool Copy(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Renames `from` to `to`; like the Windows move, an existing `to` is never
  // overwritten.
  virtual bool Move(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  virtual bool Remove(const std::filesystem::path& path) = 0;
};

// The operations on the real file system.
class RealFileOps final : public FileOps {
 public:
  bool Copy(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool Move(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool Remove(const std::filesystem::path& path) override;
};

struct Replacement {
  std::filesystem::path source;   // the new file, outside the installation
  std::filesystem::path newCopy;  // its copy beside the installed file
  std::filesystem::path target;   // the installed file
  std::filesystem::path backup;   // the installed file's name while it is replaced
};

// Copies the source to the new copy, moves the target to the backup name,
// moves the new copy to the target name and deletes the backup; stops at the
// first failure and returns false. A failure never leaves the installation
// without its file: when the new copy cannot take the target's name, the
// backup is moved back, and a new copy left over is deleted.
bool Replace(FileOps& ops, const Replacement& r);

}  // namespace updater
