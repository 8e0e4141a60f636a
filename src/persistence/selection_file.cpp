#include "persistence/selection_file.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "model/tri_state_tree.h"
#include "platform/file_io.h"
#include "platform/program_files.h"
#include "platform/text_encoding.h"

namespace quillary {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Encoding is decided line by line, so that one folder name that is not UTF-8 does not turn the
// file's other names into Windows-1252 readings.
std::string AsText(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::string ReasonText(int error) {
    return std::generic_category().message(error);
}

// Whether a path must be resolved on disk before it can be looked up in the tree: it is relative
// ("." is the current folder; on Windows also "\Data" and "c:Data", which depend on the current drive
// or its folder), has a "." or ".." component, or an empty one between two others ("//srv/x",
// "/srv//x"), as a path given to the console program may have. A root folder's key ("" or "c:") is
// looked up as it is, and so is a path with separators only at its end ("c:\").
bool NeedsResolving(std::string_view path, const PathSyntax& syntax) {
    if (path.empty() || syntax.IsRootKey(path))
        return false;
    if (!syntax.IsAbsolute(path))
        return true;
    // A network share "\\server\share" starts with two separators of its own.
    const std::size_t share = syntax.NetworkRootLength(path);
    for (std::size_t start = share == 0 ? 0 : share + 1; start <= path.size();) {
        const std::size_t end = std::min(syntax.FindSeparator(path, start), path.size());
        const std::string_view component = path.substr(start, end - start);
        if (component == "." || component == ".." || (component.empty() && start > 0 && end < path.size()))
            return true;
        start = end + 1;
    }
    return false;
}

void ReportNoCurrentFolder(RestoreReport& report, int error) {
    if (report.error.empty())
        report.error = "cannot resolve the current folder: " + ReasonText(error);
}

} // namespace

bool ReadSelectionText(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes);
}

ParsedSelection ParseSelectionText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    ParsedSelection parsed;
    for (std::size_t number = 1; !bytes.empty(); ++number) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const std::size_t bar = line.find('|');
        const std::string_view code = line.substr(0, bar);
        if (bar == std::string_view::npos || (code != "2" && code != "3")) {
            parsed.ignored.push_back({RestoreIssue::Kind::Ignored, number, AsText(line), {}});
            continue;
        }
        const std::string_view path = line.substr(bar + 1);
        SelectionLine entry;
        entry.number = number;
        entry.withSubdirs = code == "3";
        entry.path = AsText(path);
        if (entry.path != path)
            entry.rawPath = path;
        parsed.lines.push_back(std::move(entry));
    }
    return parsed;
}

void RestoreSelectionLine(DirTreeAccess& tree, const SelectionLine& line, RestoreReport& report,
                          const PathResolver& resolve) {
    // The line's own bytes name the folder on disk; its Windows-1252 reading comes second.
    std::vector<std::string> candidates;
    if (!line.rawPath.empty())
        candidates.push_back(line.rawPath);
    candidates.push_back(line.path);
    int lastError = 0;
    for (std::string& path : candidates) {
        if (NeedsResolving(path, tree.Syntax())) {
            CanonicalPathResult resolved = resolve(path);
            if (resolved.noCurrentFolder) {
                ReportNoCurrentFolder(report, resolved.error);
                return;
            }
            if (!resolved) {
                lastError = resolved.error;
                continue;
            }
            path = std::move(resolved.path);
        }
        if (RestoreCheck(tree, path, line.withSubdirs))
            return;
    }
    report.issues.push_back({RestoreIssue::Kind::NotFound, line.number, line.path,
                             lastError != 0 ? ReasonText(lastError) : std::string()});
}

RestoreReport LoadSelection(DirTreeAccess& tree, const std::string& path, const PathResolver& resolve) {
    RestoreReport report;
    std::string bytes;
    if (!ReadSelectionText(path, bytes)) {
        report.fileRead = false;
        return report;
    }
    ParsedSelection parsed = ParseSelectionText(bytes);
    report.issues = std::move(parsed.ignored);
    for (const SelectionLine& line : parsed.lines)
        RestoreSelectionLine(tree, line, report, resolve);
    std::stable_sort(report.issues.begin(), report.issues.end(),
                     [](const RestoreIssue& a, const RestoreIssue& b) { return a.line < b.line; });
    return report;
}

RestoreReport CheckFolders(DirTreeAccess& tree, const std::vector<std::string>& folders,
                           const PathResolver& resolve) {
    RestoreReport report;
    for (const std::string& folder : folders) {
        const CanonicalPathResult resolved = resolve(folder);
        if (resolved.noCurrentFolder) {
            ReportNoCurrentFolder(report, resolved.error);
            continue;
        }
        std::string reason;
        if (!resolved) {
            reason = ReasonText(resolved.error);
        } else if (const DirTreeItem item = FindPath(tree, resolved.path)) {
            CheckWithSubdirs(tree, item);
            continue;
        } else {
            // Found on disk but not in the tree: a file, or below a folder that cannot be listed.
            reason = IsDirectory(resolved.path) ? "a folder on its path cannot be read" : ReasonText(ENOTDIR);
        }
        report.issues.push_back({RestoreIssue::Kind::NotFound, 0, AsText(folder), reason});
    }
    return report;
}

bool SaveSelection(const std::vector<std::string>& checkedDirs, const std::string& path) {
    OutputFile file;
    if (!file.Open(path))
        return false;
    bool complete = true;
    for (const std::string& entry : checkedDirs) {
        if (entry.find_first_of("\r\n") != std::string::npos) {
            complete = false; // it would read back as other folders' entries
            continue;
        }
        file.Write(entry);
        file.Write("\n");
    }
    return file.Close() && complete;
}

bool SaveSelection(const DirTreeAccess& tree, const std::string& path) {
    std::vector<std::string> checkedDirs;
    CollectChecked(tree, checkedDirs);
    return SaveSelection(checkedDirs, path);
}

} // namespace quillary
