#include "engine/run_result.h"

namespace quillary {

const char* ProblemKindWord(ProblemKind kind) {
    switch (kind) {
    case ProblemKind::FolderUnreadable:
        return "folder-unreadable";
    case ProblemKind::EntryUnreadable:
        return "entry-unreadable";
    case ProblemKind::ChecksumUnreadable:
        return "checksum-unreadable";
    case ProblemKind::VersionUnreadable:
        return "version-unreadable";
    case ProblemKind::ListingFileFailed:
        return "folder-listing-failed";
    case ProblemKind::ListingFileSkipped:
        return "folder-listing-skipped";
    case ProblemKind::ListingNameUnusable:
        return "listing-name-unusable";
    }
    return "problem";
}

std::string DescribeProblem(const RunProblem& problem) {
    const char* what = "";
    switch (problem.kind) {
    case ProblemKind::FolderUnreadable:
        what = "cannot read folder";
        break;
    case ProblemKind::EntryUnreadable:
        what = "cannot read the details of";
        break;
    case ProblemKind::ChecksumUnreadable:
        what = "cannot read the checksum of";
        break;
    case ProblemKind::VersionUnreadable:
        what = "cannot read the version of";
        break;
    case ProblemKind::ListingFileFailed:
        what = "cannot write the folder listing";
        break;
    case ProblemKind::ListingFileSkipped:
        what = "did not write the folder listing";
        break;
    case ProblemKind::ListingNameUnusable:
        what = "did not write the folder listings named";
        break;
    }
    std::string line = std::string(what) + " '" + problem.path + "'";
    if (!problem.reason.empty())
        line += ": " + problem.reason;
    return line;
}

} // namespace quillary
