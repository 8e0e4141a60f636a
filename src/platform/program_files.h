// Where the program's own files live.
#pragma once

#include <string>
#include <vector>

namespace quillary {

// The running executable's full path ("" when it cannot be found).
std::string ExecutablePath();

// Directory of the running executable, without a trailing separator ("" when it cannot be found). A
// program in a drive's root folder has the drive ("c:") as its directory.
std::string ProgramDirectory();

// Where the settings file and the remembered selection live: beside the program when that directory
// is writable and not an installed layout (bin/ beside share/quillary/) (portable use), otherwise
// $XDG_CONFIG_HOME/quillary (default ~/.config/quillary), on Windows %APPDATA%\quillary (created).
std::string SettingsDirectory();

// Where the window's preview files go: beside a portable program (as above), otherwise a
// folder only this user can enter ($XDG_RUNTIME_DIR/quillary, else ~/.cache/quillary), created with mode
// 0700 when missing; on Windows %LOCALAPPDATA%\quillary, created when missing. "" when no such folder
// can be made: then no preview is written.
std::string PreviewDirectory();

// The file that keeps checksums between runs: $XDG_CACHE_HOME/quillary/checksums.sqlite (default
// ~/.cache/quillary/), on Windows %LOCALAPPDATA%\quillary\checksums.sqlite. Its folder is created
// (0700 on POSIX) when missing; "" when there is no such folder and none can be made.
std::string ChecksumCacheFile();

// The running program's process id, which names files that belong to this run alone (two programs
// started at once never share them).
unsigned long ProcessId();

// Where the program's own files (languages, configurations, the guide) are looked up, in order: beside
// the program, then ../share/quillary beside it (installed layout).
std::vector<std::string> ProgramDataDirectories();

// Creates `folder` and every missing folder above it, each new one only this user may enter (mode 0700
// on POSIX, as the XDG base directory rules ask for ~/.config and the folders in it); folders that
// exist are left as they are. 0 when `folder` is a folder afterwards, else the error number of the
// step that failed (ENOTDIR when a file is in the way).
int CreateFolders(const std::string& folder);

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);

} // namespace quillary
