// What a listing run reports when it ends: how it ended, where the listing went, what it counted and
// what it could not read. The listing itself keeps its defined shape (a folder that could not be read
// is a folder with no entries); the problems are reported beside it, never hidden.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillary {

enum class RunStatus {
    NoOutputPath, // nothing to do
    OpenFailed,   // the output file could not be opened; nothing was written
    WriteFailed,  // the output file reported an error while the listing was written
    Cancelled,    // the user stopped the run; the file holds what was written until then
    Written,
};

struct RunStatistics {
    int dirCount = 0;
    int entryCount = 0;
    std::uint64_t reusedEntries = 0;     // records taken over from the previous run's scan
    std::uint64_t checksumsComputed = 0; // files whose contents were read for a checksum
    std::uint64_t versionsComputed = 0;
};

enum class ProblemKind {
    FolderUnreadable,    // a folder could not be enumerated (fully)
    EntryUnreadable,     // an entry's details could not be read; it is left out of the listing
    ChecksumUnreadable,  // a file's contents could not be read for its checksum (or changed meanwhile)
    VersionUnreadable,   // a file could not be read for its version
    ListingFileFailed,   // a per-folder listing could not be opened or written
    ListingFileSkipped,  // a per-folder listing was not written: something else has its name there
                         // (a symbolic link, FIFO, device or socket), or it is the main output
    ListingNameUnusable, // no per-folder listing was written: a file in a folder cannot have the name
};

struct RunProblem {
    ProblemKind kind = ProblemKind::FolderUnreadable;
    std::string path;
    std::string reason; // the system's text for the error
};

struct RunResult {
    RunStatus status = RunStatus::NoOutputPath;
    std::string outputPath;  // as the run completed it (extension added)
    std::string outputError; // OpenFailed, WriteFailed: why (the system's text)
    bool previewRun = false;
    RunStatistics statistics;
    std::vector<RunProblem> problems;
    // What the run tells without the listing being any less complete (a checksum cache set aside).
    std::vector<std::string> warnings;
};

// A short word for the kind, as machine-readable listings name it: "folder-unreadable", ...
const char* ProblemKindWord(ProblemKind kind);

// One line for a problem: "cannot read folder '/x/y': Permission denied".
std::string DescribeProblem(const RunProblem& problem);

} // namespace quillary
