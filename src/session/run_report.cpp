#include "session/run_report.h"

#include <algorithm>

#include "platform/utf8.h"

namespace quillary {

namespace {

std::string DescribeIssue(const RestoreIssue& issue, const std::string& selectionName) {
    const std::string line = std::to_string(issue.line);
    if (issue.kind == RestoreIssue::Kind::Ignored)
        return "warning: " + selectionName + " line " + line + " ignored (not a \"2|\" or \"3|\" entry): '" +
               issue.text + "'";
    const std::string reason = issue.reason.empty() ? std::string() : ": " + issue.reason;
    if (issue.line != 0)
        return "warning: " + selectionName + " line " + line + ": folder '" + issue.text + "' not found" +
               reason;
    return "warning: folder '" + issue.text + "' not found" + reason;
}

// Why the output could not be opened or written, as the system said it (": Read-only file system").
std::string Reason(const RunResult& result) {
    return result.outputError.empty() ? std::string() : ": " + result.outputError;
}

std::string DescribeFailure(const RunResult& result) {
    switch (result.status) {
    case RunStatus::NoOutputPath:
        return "no output file given";
    case RunStatus::OpenFailed:
        return "cannot open the output file '" + result.outputPath + "'" + Reason(result);
    case RunStatus::WriteFailed:
        return "error while writing '" + result.outputPath + "'" + Reason(result);
    case RunStatus::Written:
    case RunStatus::Cancelled:
        break;
    }
    return {};
}

} // namespace

SessionReport DescribeRestore(const RestoreReport& report, const std::string& selectionName) {
    SessionReport described;
    if (!report.fileRead) {
        described.lines.push_back("cannot read the selection file '" + selectionName + "'");
        described.exitStatus = kExitFailed;
        return described;
    }
    // The first of them, then a count: a damaged file may hold millions of lines.
    const std::size_t shown = std::min(report.issues.size(), kMaxProblemLines);
    for (std::size_t i = 0; i < shown; ++i)
        described.lines.push_back(DescribeIssue(report.issues[i], selectionName));
    if (report.issues.size() > shown)
        described.lines.push_back(std::to_string(report.issues.size() - shown) + " more warnings not shown");
    if (!report.error.empty()) {
        described.lines.push_back(report.error);
        described.exitStatus = kExitFailed;
    }
    return described;
}

std::size_t CountNotFound(const RestoreReport& report) {
    return static_cast<std::size_t>(
        std::count_if(report.issues.begin(), report.issues.end(),
                      [](const RestoreIssue& issue) { return issue.kind == RestoreIssue::Kind::NotFound; }));
}

SessionReport DescribeRun(const RunResult& result, std::size_t foldersMissing) {
    SessionReport described;
    const std::size_t count = result.problems.size();
    for (std::size_t i = 0; i < count && i < kMaxProblemLines; ++i)
        described.lines.push_back(DescribeProblem(result.problems[i]));
    if (count > kMaxProblemLines)
        described.lines.push_back(std::to_string(count - kMaxProblemLines) + " more problems not shown");
    for (const std::string& warning : result.warnings)
        described.lines.push_back("warning: " + warning);
    switch (result.status) {
    case RunStatus::Written:
        described.exitStatus = count == 0 && foldersMissing == 0 ? kExitOk : kExitIncomplete;
        break;
    case RunStatus::Cancelled:
        described.exitStatus = kExitIncomplete;
        break;
    case RunStatus::NoOutputPath:
    case RunStatus::OpenFailed:
    case RunStatus::WriteFailed:
        described.lines.push_back(DescribeFailure(result));
        described.exitStatus = kExitFailed;
        break;
    }
    return described;
}

std::string ProgramMessageLine(std::string_view program, std::string_view message) {
    return std::string(program) + ": " + ShowableText(message) + "\n";
}

} // namespace quillary
