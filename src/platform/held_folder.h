// A folder held open while a file is made and put in place in it, so that the file lands in that very
// folder whatever its path leads to meanwhile: the owner of a folder on the way may rename it and put a
// link to someone else's folder, or another folder, in its place.
//
// On POSIX the folder is an open descriptor that needs only permission to pass through, and every
// step that makes, links, renames or removes a file there works relative to it (openat, renameat, ...),
// so no name is looked up again and a folder of any depth can be reached. On Windows the folder is held
// by a handle that does not let it be renamed or removed while it is open, so that its path keeps
// leading to it; its entries are named by that path in the long form.
#pragma once

#include <string>

#include "platform/directory_reader.h"

namespace quillary {

class HeldFolder {
public:
    HeldFolder() = default;
    ~HeldFolder();
    HeldFolder(HeldFolder&& other) noexcept;
    HeldFolder& operator=(HeldFolder&& other) noexcept;
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // Holds the folder at `path` ("" or "/" is the root on POSIX, "." the current folder). A final
    // symbolic link (on Windows any reparse point standing for another name) is followed only with
    // `followLink`: otherwise a link, like anything else that is not a folder, fails with ENOTDIR or
    // ELOOP. A path longer than the system's limit is opened a piece at a time.
    bool Open(const std::string& path, bool followLink);
    // Holds the folder `name` in the held folder `parent`, never through a link (which fails as in
    // Open): a step of one name, however deep the folders lie.
    bool OpenChild(const HeldFolder& parent, const std::string& name);
    // Holds the folder the held folder `child` lies in now (wherever it was moved).
    bool OpenParent(const HeldFolder& child);
    bool IsOpen() const;
    void Close();
    // The error number of the last failed Open.
    int Error() const { return m_error; }
    // What tells the held folder from every other, to be compared with the folder a scan read.
    FolderIdentity Identity() const { return m_identity; }

#ifdef _WIN32
    // The long form of the path of the entry `name` of the held folder.
    std::wstring EntryPath(const std::string& name) const;
#else
    int Descriptor() const {
        return m_fd;
    }
#endif

private:
#ifdef _WIN32
    void* m_handle = nullptr;
    std::string m_path; // as opened, without trailing separators except for a root
#else
    bool Hold(int fd); // takes `fd` (an open folder, or -1 after a failed open)
    int m_fd = -1;
#endif
    FolderIdentity m_identity;
    int m_error = 0;
};

} // namespace quillary
