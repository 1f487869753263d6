#pragma once
// The update package: two files compressed in the Windows LZ (SZDD) format,
// "velmup1.ex_" (the new main program) and "velmup2.ex_" (the new profile
// library), and the description "velmup.ini" written when the package is
// built, which gives the exact size of each compressed file:
//
//   [Package]
//   velmup1.ex_=<bytes>
//   velmup2.ex_=<bytes>
//
// scripts/make-update-package.sh builds all three from a Keldoran build.
#include <cstdint>
#include <filesystem>

namespace updater {

inline constexpr char kProgramPackageFile[] = "velmup1.ex_";
inline constexpr char kLibraryPackageFile[] = "velmup2.ex_";
inline constexpr char kPackageDescription[] = "velmup.ini";

// Expands one SZDD file into `to` (created or replaced) and returns the
// expanded size, or -1 when the file is not a complete SZDD file or cannot be
// written; a failed expansion leaves no output file behind.
std::int64_t ExpandSzdd(const std::filesystem::path& from, const std::filesystem::path& to);

// Expands both package files of `packageFolder` into the same folder as
// `newProgram` and `newLibrary` (names relative to it). Each compressed file
// must have exactly the size the description gives, and each expansion must
// give a file that is not empty. The new program is made executable. Stops at
// the first unmet condition and returns false; a file already expanded stays.
bool ExpandPackage(const std::filesystem::path& packageFolder,
                   const std::filesystem::path& newProgram,
                   const std::filesystem::path& newLibrary);

}  // namespace updater
