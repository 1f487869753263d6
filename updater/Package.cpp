#include "updater/Package.h"

#include <mspack.h>

#include <memory>
#include <optional>
#include <system_error>

#include "updater/Ini.h"

namespace updater {
namespace fs = std::filesystem;

namespace {

struct SzddDecompressor {
  SzddDecompressor() : d(mspack_create_szdd_decompressor(nullptr)) {}
  ~SzddDecompressor() {
    if (d != nullptr) mspack_destroy_szdd_decompressor(d);
  }
  SzddDecompressor(const SzddDecompressor&) = delete;
  SzddDecompressor& operator=(const SzddDecompressor&) = delete;
  msszdd_decompressor* d;
};

std::optional<std::uintmax_t> DescribedSize(const fs::path& packageFolder, const char* file) {
  const std::optional<QString> text = IniValue(packageFolder / kPackageDescription,
                                               QStringLiteral("Package"), QString::fromLatin1(file));
  if (!text) return std::nullopt;
  bool ok = false;
  const qulonglong size = text->toULongLong(&ok);
  if (!ok) return std::nullopt;
  return size;
}

bool ExpandOne(const fs::path& packageFolder, const char* file, const fs::path& to) {
  const std::optional<std::uintmax_t> expected = DescribedSize(packageFolder, file);
  if (!expected) return false;
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(packageFolder / file, ec);
  if (ec || size != *expected) return false;
  return ExpandSzdd(packageFolder / file, to) > 0;
}

}  // namespace

std::int64_t ExpandSzdd(const fs::path& from, const fs::path& to) {
  SzddDecompressor szdd;
  if (szdd.d == nullptr) return -1;
  const std::string input = from.string();
  const std::string output = to.string();
  msszddd_header* header = szdd.d->open(szdd.d, input.c_str());
  if (header == nullptr) return -1;
  const int result = szdd.d->extract(szdd.d, header, output.c_str());
  const std::int64_t length = header->length;
  szdd.d->close(szdd.d, header);

  // The header names the expanded length; a stream that ends early gives a
  // shorter file, which is as much a failure as an error from the library.
  std::error_code ec;
  const std::uintmax_t written = fs::file_size(to, ec);
  if (result != MSPACK_ERR_OK || ec || written != static_cast<std::uintmax_t>(length)) {
    fs::remove(to, ec);
    return -1;
  }
  return length;
}

bool ExpandPackage(const fs::path& packageFolder, const fs::path& newProgram,
                   const fs::path& newLibrary) {
  if (!ExpandOne(packageFolder, kProgramPackageFile, packageFolder / newProgram)) return false;
  std::error_code ec;
  fs::permissions(packageFolder / newProgram,
                  fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, ec);
  if (ec) return false;
  return ExpandOne(packageFolder, kLibraryPackageFile, packageFolder / newLibrary);
}

}  // namespace updater
