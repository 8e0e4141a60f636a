// What the listing session tells around a run, in the same words for both front ends. Each line is one
// problem or warning without the program's name; the console program prints them on stderr after
// "quillary-cli: ", the window's unattended run after "quillary: " (and in its status line). The exit
// status of an unattended run is computed here once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_result.h"
#include "persistence/selection_file.h"

namespace quillary {

// The exit status of quillary-cli and of the window's unattended run.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;     // not written: an input file or the output failed
inline constexpr int kExitUsage = 2;      // the command line or SOURCE_DATE_EPOCH not understood
inline constexpr int kExitIncomplete = 3; // written, but something could not be read
inline constexpr int kExitChanged = 4;    // a comparison found changes

// A run's problems are told one a line, this many, then how many more there are.
inline constexpr std::size_t kMaxProblemLines = 20;

struct SessionReport {
    std::vector<std::string> lines;
    // For a step before the run: kExitOk to go on, anything else ends an unattended run with it. For
    // a finished run: the exit status.
    int exitStatus = kExitOk;

    bool Stops() const { return exitStatus != kExitOk; }
};

// The warnings about a restored selection file (`selectionName` as the user named it) or about
// folders named on a command line (`selectionName` ""): one line per ignored line and per folder not
// found, the first kMaxProblemLines of them, then a count. A file that cannot be read, or a selection that
// cannot be restored as it is meant, is an error that stops the run (kExitFailed).
SessionReport DescribeRestore(const RestoreReport& report, const std::string& selectionName);

// The folders of a restore report that were not found (ignored lines are not counted).
std::size_t CountNotFound(const RestoreReport& report);

// What a finished run tells: its problems (the first kMaxProblemLines, then a count), why nothing was
// written, and the exit status: 0 written and complete; 1 not written; 3 written, but a problem was
// recorded, a folder of the selection was not found (`foldersMissing`) or the run was cancelled.
SessionReport DescribeRun(const RunResult& result, std::size_t foldersMissing);

// One line for stderr: "program: message\n", control characters shown as "?" (names and language
// texts never act on the terminal).
std::string ProgramMessageLine(std::string_view program, std::string_view message);

} // namespace quillary
