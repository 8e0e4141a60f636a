// Buffered output files, owned through RAII, and reading a small file whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/held_folder.h"

namespace quillary {

// What OutputFile::Open accepts at its path.
enum class OutputTarget {
    // The main listing or a program file: a regular file or a new name is replaced when the new file is
    // complete; "-", a device, a FIFO, a socket or a symbolic link is written directly.
    AnyFile,
    // A listing inside a listed folder, whose owner may have put anything there: only a regular file or
    // a new name; a symbolic link (never followed), a FIFO, a device or a socket is refused.
    RegularFileOnly,
};

// How the new file that replaces a regular file is made.
enum class NewFileKind {
    // Without a name until Close, where the file system allows (O_TMPFILE on Linux), else named.
    NamelessWherePossible,
    // Always a hidden file with an unpredictable name (what systems without nameless files get).
    Named,
};

// A file written as a whole: a regular file is written to a new file in the same folder that takes its
// place only when Close succeeds, so a failed, crashed or killed run leaves the old file untouched.
// The folder is held from Open to Close (held_folder.h): the new file is made and put in place in the
// folder that was there at Open, wherever its path leads by then.
// The new file has no name until then where the file system allows (O_TMPFILE on Linux); elsewhere it
// is a hidden file with an unpredictable name, created exclusively. The new file keeps the old one's
// permissions (POSIX) or attributes (Windows); a new name gets those of any new file. Where no new
// file can be made in the folder but the old file is writable, the old file is written in place.
//
// Text is written with the system's line end: on Windows every "\n" not already preceded by "\r"
// is written as "\r\n" (also when the two arrive in separate writes); elsewhere bytes are written
// as they are.
class OutputFile {
public:
    explicit OutputFile(NewFileKind kind = NewFileKind::NamelessWherePossible) : m_newFileKind(kind) {}
    // Without a successful Close the temporary file is removed and the old file stays.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens for writing ("-" is standard output); false with Error set when it cannot be.
    bool Open(const std::string& path, OutputTarget target = OutputTarget::AnyFile);
    // Opens the entry `name` of a folder the caller holds (and has checked), which the output keeps.
    bool Open(HeldFolder folder, const std::string& name, OutputTarget target);
    void Write(std::string_view text);
    // Flushes, closes and puts the new file in place; false (the old file kept) when any write failed.
    bool Close();
    // Why Open or Close failed: the system's text, or what was found at a refused path.
    const std::string& Error() const { return m_error; }
    // True when Open failed because something other than a regular file is at the path.
    bool Refused() const { return m_refused; }

    // True when `path` (or the entry `name` of `folder`) names the file this output replaces or
    // writes (the same name in the same folder, or the same file through another link).
    bool IsSameFile(const std::string& path) const;
    bool IsSameFile(const HeldFolder& folder, const std::string& name) const;
    // True when `path` names the hidden new file this output is writing (where it has a name), which
    // a scan of its folder should leave out of the listing.
    bool IsTemporaryFile(const std::string& path) const;
    // The hidden new file's name without its folder; "" while it has none (or nothing is replaced).
    std::string TemporaryName() const;

private:
    void Reset();
    bool OpenInFolder(OutputTarget target);
    // `mode` is an output_system::DirectMode.
    bool OpenDirect(const HeldFolder* folder, const std::string& name, int mode);
    bool OpenReplacement(bool haveOld, OutputTarget target);
    bool Fail(int error);
    void WriteBytes(std::string_view bytes);
    bool NameTheNewFile();
    void Discard();

    NewFileKind m_newFileKind = NewFileKind::NamelessWherePossible;
    std::FILE* m_file = nullptr;
    bool m_ownsFile = false;
    bool m_failed = false;
    bool m_refused = false;
    bool m_sync = true;       // flush to the disk before the new file replaces the old one
    bool m_lastWasCr = false; // the last byte written was "\r": a "\n" that follows it is not doubled
    std::string m_error;
    HeldFolder m_folder;       // the file's folder, held from Open to Close
    FolderIdentity m_folderId; // which it was (also after Close)
    std::string m_name;        // the file's name in it
    bool m_replace = false;    // Close puts the new file in the old one's place
    bool m_anonymous = false;  // the new file has no name yet
    bool m_haveOld = false;    // a regular file is replaced; its replacement keeps these:
    std::uint32_t m_oldMode = 0, m_oldOwner = 0, m_oldGroup = 0;
    std::string m_tempStem; // ".<name>." to which a random suffix is added
    std::string m_tempName; // the new file's temporary name in the folder, once it has one
    bool m_haveTarget = false;
    std::uint64_t m_targetDevice = 0, m_targetIndex = 0;
};

// True for a path that names an existing device, FIFO or socket, or lies in /dev or /proc (POSIX), or
// a device (CON, NUL, COM1, ... in any folder, or a "\\.\" path; Windows): such a path is used as it
// is, never given a file extension.
bool NamesSpecialFile(const std::string& path);

#ifndef _WIN32
// POSIX: reads up to `size` bytes from an open file descriptor, again when interrupted by a signal.
// Bytes read (0 at the end), or -1 with `error` set.
long long ReadRetrying(int fd, void* buffer, std::size_t size, int& error);
#endif

// The text for an error number ("Permission denied"); on Windows the common ones read as on Linux.
std::string ErrorText(int error);

// Reads a whole small file; false when it cannot be opened, is a directory, or is larger than maxBytes.
bool ReadWholeFile(const std::string& path, std::string& contents, std::size_t maxBytes = 64u << 20);

// Removes the file `path` (UTF-8) when it is there; errors are ignored (for private files that a run
// leaves behind, such as the listing a comparison reads).
void RemoveFileQuietly(const std::string& path);

} // namespace quillary
