// What both systems' file bodies share: the rules of an output file, over the per-system steps of
// output_file_system.h, and reading a small file whole.
#include "platform/file_io.h"

#include <cerrno>
#include <filesystem>

#include "platform/output_file_system.h"
#include "platform/path_syntax.h"
#include "platform/regular_file.h"
#include "platform/utf8.h"

namespace quillary {

namespace {

using output_system::DirectMode;
using output_system::FileId;
using output_system::Node;
using output_system::NodeKind;

constexpr const char* kLinkInPlace = "a symbolic link is in its place";
constexpr const char* kNotRegular = "it is not a regular file";
constexpr int kNameAttempts = 100;

// The length of a path's folder part with its last separator ("/a/" in "/a/b"), or of the drive of a
// drive-relative name ("c:" in "c:out.txt"); 0 for a bare name.
std::size_t FolderPartLength(const std::string& path) {
    const std::size_t separator = kNativePaths.FindLastSeparator(path);
    if (separator != std::string::npos)
        return separator + 1;
    return kNativePaths.driveLetters && path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

// The folder part of a path ("." for a bare name, "c:." for a name relative to a drive's current
// folder); a folder's own trailing separator is kept only for a root ("/", "c:\\"), which names
// something other than "" or "c:".
std::string FolderOf(const std::string& path) {
    std::size_t length = FolderPartLength(path);
    if (length == 0)
        return ".";
    if (length == 2 && kNativePaths.driveLetters && !kNativePaths.IsSeparator(path[1]))
        return path.substr(0, 2) + ".";
    while (length > 1 && kNativePaths.IsSeparator(path[length - 1]) &&
           !kNativePaths.IsSeparator(path[length - 2]) &&
           !(kNativePaths.driveLetters && length == 3 && path[1] == ':'))
        --length;
    return path.substr(0, length);
}

std::string NameOf(const std::string& path) {
    return path.substr(FolderPartLength(path));
}

// The identity of the folder part of `path`, held for the asking; not known when it cannot be opened.
FolderIdentity FolderIdentityOf(const std::string& path) {
    HeldFolder folder;
    folder.Open(FolderOf(path), true);
    return folder.Identity();
}

} // namespace

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Fail(int error) {
    m_error = ErrorText(error);
    return false;
}

void OutputFile::Reset() {
    Discard();
    m_failed = m_refused = false;
    m_error.clear();
    m_name.clear();
    m_folderId = {};
    m_haveTarget = m_haveOld = false;
    m_lastWasCr = false;
}

bool OutputFile::Open(const std::string& path, OutputTarget target) {
    Reset();
    m_sync = target == OutputTarget::AnyFile;
    if (path == "-") {
        m_file = output_system::StandardOutput();
        m_ownsFile = false;
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
        return true;
    }
    if (output_system::IsDevicePath(path)) {
        if (target == OutputTarget::RegularFileOnly) {
            m_error = kNotRegular;
            m_refused = true;
            return false;
        }
        return OpenDirect(nullptr, path, static_cast<int>(DirectMode::Device));
    }
    // The folder as the path leads to it now (through any link the user put on the way); from here on
    // the file is made and put in place in it.
    if (!m_folder.Open(FolderOf(path), true))
        return Fail(m_folder.Error());
    m_name = NameOf(path);
    return OpenInFolder(target);
}

bool OutputFile::Open(HeldFolder folder, const std::string& name, OutputTarget target) {
    Reset();
    m_sync = target == OutputTarget::AnyFile;
    m_folder = std::move(folder);
    m_name = name;
    return OpenInFolder(target);
}

bool OutputFile::OpenInFolder(OutputTarget target) {
    m_folderId = m_folder.Identity();
    Node old;
    if (const int error = output_system::LookAt(m_folder, m_name, old))
        return Fail(error);
    if (old.kind == NodeKind::Missing)
        return OpenReplacement(false, target);
    if (old.haveId) {
        m_haveTarget = true;
        m_targetDevice = old.id.device;
        m_targetIndex = old.id.index;
    }
    if (old.kind == NodeKind::Regular) {
        // Said at once, before any folder is read.
        if (old.neverReplaced)
            return Fail(EACCES);
        m_haveOld = true;
        m_oldMode = old.mode;
        m_oldOwner = old.owner;
        m_oldGroup = old.group;
        return OpenReplacement(true, target);
    }
    if (target == OutputTarget::RegularFileOnly) {
        m_error = old.kind == NodeKind::Link ? kLinkInPlace : kNotRegular;
        m_refused = true;
        return false;
    }
    if (old.kind == NodeKind::Directory)
        return Fail(EISDIR);
    // A device, FIFO, socket or link is written as it is.
    return OpenDirect(&m_folder, m_name, static_cast<int>(DirectMode::Follow));
}

bool OutputFile::OpenDirect(const HeldFolder* folder, const std::string& name, int mode) {
    int error = 0;
    const char* refusal = nullptr;
    bool haveId = false;
    FileId id;
    m_file =
        output_system::OpenDirect(folder, name, static_cast<DirectMode>(mode), error, refusal, haveId, id);
    if (m_file == nullptr) {
        if (refusal != nullptr) {
            m_error = refusal;
            m_refused = true;
            return false;
        }
        return Fail(error);
    }
    m_ownsFile = true;
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    // The file really written (through a link, or in place).
    if (haveId) {
        m_haveTarget = true;
        m_targetDevice = id.device;
        m_targetIndex = id.index;
    }
    return true;
}

bool OutputFile::OpenReplacement(bool haveOld, OutputTarget target) {
    // The name is shortened so that the temporary name is never too long where the name itself fits.
    m_tempStem = std::string(".").append(Utf8CutToBytes(m_name, 200)).append(".");
    // A file without a name, where the file system has them: a scan of the folder never sees it, and
    // a killed run leaves nothing behind. It gets its name at the end.
    int error = EOPNOTSUPP;
    m_file = m_newFileKind == NewFileKind::NamelessWherePossible
                 ? output_system::CreateNameless(m_folder, error)
                 : nullptr;
    m_anonymous = m_file != nullptr;
    // A folder that refuses a nameless file refuses a named one too.
    if (m_file == nullptr && error != EACCES && error != EPERM) {
        for (int attempt = 0; attempt < kNameAttempts && m_file == nullptr; ++attempt) {
            m_tempName = m_tempStem + output_system::RandomSuffix();
            m_file = output_system::CreateExclusive(m_folder, m_tempName, error);
            if (m_file == nullptr && error != EEXIST)
                break;
        }
        if (m_file == nullptr)
            m_tempName.clear();
    }
    if (m_file == nullptr) {
        // A writable file in a folder where no new file can be made is written in place, as before.
        if (haveOld && (error == EACCES || error == EPERM))
            return OpenDirect(&m_folder, m_name,
                              static_cast<int>(target == OutputTarget::RegularFileOnly
                                                   ? DirectMode::RegularOnly
                                                   : DirectMode::Follow));
        return Fail(error);
    }
    m_ownsFile = true;
    m_replace = true;
    if (haveOld) {
        Node old;
        old.mode = m_oldMode;
        old.owner = m_oldOwner;
        old.group = m_oldGroup;
        // The listing that replaces a file keeps its permissions (and, for a run as root, its owner).
        output_system::PrepareNewFile(m_file, old, target == OutputTarget::AnyFile);
    }
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return true;
}

// Gives a nameless new file its hidden name, so that it can take the old file's place.
bool OutputFile::NameTheNewFile() {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        m_tempName = m_tempStem + output_system::RandomSuffix();
        const int error = output_system::LinkNameless(m_file, m_folder, m_tempName);
        if (error == 0)
            return true;
        if (error != EEXIST) {
            m_tempName.clear();
            errno = error;
            return false;
        }
    }
    m_tempName.clear();
    errno = EEXIST;
    return false;
}

void OutputFile::WriteBytes(std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        if (!m_failed)
            m_error = ErrorText(errno);
        m_failed = true;
    }
}

void OutputFile::Write(std::string_view text) {
    if (m_file == nullptr || text.empty())
        return;
    if (!output_system::kCrLfLineEnds) {
        WriteBytes(text);
        return;
    }
    // Most lines need one "\r" added at their end; a line from the CSV writer already has it.
    std::string converted;
    std::size_t copied = 0;
    for (std::size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
        const bool afterCr = i == 0 ? m_lastWasCr : text[i - 1] == '\r';
        if (afterCr)
            continue;
        if (converted.empty())
            converted.reserve(text.size() + text.size() / 16 + 2);
        converted.append(text.substr(copied, i - copied));
        converted += "\r\n";
        copied = i + 1;
    }
    if (copied == 0) {
        WriteBytes(text);
    } else {
        converted.append(text.substr(copied));
        WriteBytes(converted);
    }
    m_lastWasCr = text.back() == '\r';
}

bool OutputFile::Close() {
    if (m_file == nullptr)
        return !m_failed;
    auto failed = [this](int error) {
        if (!m_failed)
            m_error = ErrorText(error);
        m_failed = true;
    };
    if (std::fflush(m_file) != 0)
        failed(errno);
    // The main file's new contents reach the disk before its name replaces the old one, so that not
    // even a system crash loses both. Per-folder listings skip this: thousands of waits would slow a
    // run down, and a killed run leaves their old files anyway.
    if (m_sync && m_replace && !m_failed)
        if (const int error = output_system::SyncToDisk(m_file))
            failed(error);
    if (m_replace && m_anonymous && !m_failed && !NameTheNewFile())
        failed(errno);
    if (m_ownsFile && std::fclose(m_file) != 0)
        failed(errno);
    m_file = nullptr;
    if (m_replace) {
        Node old;
        old.mode = m_oldMode;
        if (!m_failed)
            if (const int error =
                    output_system::FinishNewFile(m_folder, m_tempName, m_haveOld ? &old : nullptr))
                failed(error);
        if (!m_failed)
            if (const int error = output_system::Replace(m_folder, m_tempName, m_name, m_sync))
                failed(error);
        if (m_failed && !m_tempName.empty())
            output_system::Remove(m_folder, m_tempName);
        m_tempName.clear();
        m_replace = m_anonymous = false;
    }
    m_folder.Close();
    return !m_failed;
}

void OutputFile::Discard() {
    if (m_file != nullptr && m_ownsFile)
        std::fclose(m_file);
    else if (m_file != nullptr)
        std::fflush(m_file);
    m_file = nullptr;
    if (!m_tempName.empty())
        output_system::Remove(m_folder, m_tempName);
    m_tempName.clear();
    m_replace = m_anonymous = false;
    m_folder.Close();
}

bool OutputFile::IsSameFile(const std::string& path) const {
    HeldFolder folder;
    return folder.Open(FolderOf(path), true) && IsSameFile(folder, NameOf(path));
}

bool OutputFile::IsSameFile(const HeldFolder& folder, const std::string& name) const {
    if (m_name.empty())
        return false;
    Node node;
    if (m_haveTarget && output_system::LookAt(folder, name, node) == 0 && node.haveId &&
        node.id == FileId{m_targetDevice, m_targetIndex})
        return true;
    return output_system::SameName(name, m_name) && m_folderId.known && folder.Identity() == m_folderId;
}

std::string OutputFile::TemporaryName() const {
    return m_tempName;
}

bool OutputFile::IsTemporaryFile(const std::string& path) const {
    return !m_tempName.empty() && output_system::SameName(NameOf(path), m_tempName) && m_folderId.known &&
           FolderIdentityOf(path) == m_folderId;
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::size_t maxBytes) {
    RegularFile file;
    FileStamp stamp;
    if (file.Open(path, stamp, true) != RegularFile::OpenResult::Opened)
        return false;
    contents.clear();
    char buffer[65536];
    for (;;) {
        const long long got = file.Read(buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (contents.size() + static_cast<std::size_t>(got) > maxBytes)
            return false;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

void RemoveFileQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(std::u8string(path.begin(), path.end())), ignored);
}

} // namespace quillary
