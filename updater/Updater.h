#pragma once
// The updater's main sequence: find the installed Keldoran, check the free
// space of its drive and its language edition, expand the update package and
// replace the main program and the profile library. Every outcome is told to
// the user through one message (caption and text).
#include <filesystem>
#include <functional>

#include <QString>

namespace updater {

class FileOps;

// The file names of an installation and of the replacement on this
// platform: the Windows names there, the built file names elsewhere.
struct InstallNames {
  const char* program;      // the installed main program
  const char* library;      // the installed profile library
  const char* newProgram;   // the expanded new program, and its copy while replacing
  const char* newLibrary;   // likewise for the library
  const char* oldProgram;   // the installed program's backup name while replacing
  const char* oldLibrary;   // likewise for the library
};
const InstallNames& PlatformNames();

// What the App Paths registration reads when Keldoran is not registered.
inline constexpr char kNotRegistered[] = "NONE";

// The stand-in for the App Paths registration outside Windows: the file
// "AppPaths.ini" in the folder that stands in for the Windows folder, whose
// key "Path" of section "Keldoran" holds the installation folder. The install
// step (scripts/install-keldoran.sh) writes it.
std::filesystem::path AppPathsFile();

// The installation folder registered in `appPathsFile` (on Windows the
// registry's App Paths entry of "Keldoran.exe", and the argument is unused),
// or kNotRegistered when there is none.
QString RegisteredFolder(const std::filesystem::path& appPathsFile);

enum class Outcome { NotInstalled, LowDiskSpace, OtherEdition, Failed, Updated };

// The message of an outcome, exactly as the user sees it.
struct Message {
  QString caption;
  QString text;
};
Message MessageFor(Outcome outcome);

using Messenger = std::function<void(const QString& caption, const QString& text)>;

// Runs the update with the package in `packageFolder` (the current folder of
// the program) and the registration in `appPathsFile`; shows one message
// through `show` and returns the outcome.
Outcome RunUpdate(const std::filesystem::path& packageFolder,
                  const std::filesystem::path& appPathsFile, FileOps& ops, const Messenger& show);

}  // namespace updater
