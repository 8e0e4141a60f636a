#include "app/console/console_session.h"

#include <algorithm>
#include <string>

#include "app/console/console_host.h"
#include "persistence/profile_file.h"
#include "persistence/selection_file.h"

namespace quillary {

namespace {

// One warning per line or folder that was not restored. False, after printing the error, when the
// selection cannot be restored as it is meant.
bool PrintRestoreReport(const RestoreReport& report, const std::string& selectionFile) {
    for (const RestoreIssue& issue : report.issues) {
        const std::string reason = issue.reason.empty() ? std::string() : ": " + issue.reason;
        if (issue.kind == RestoreIssue::Kind::Ignored)
            PrintMessage("warning: " + selectionFile + " line " + std::to_string(issue.line) +
                         " ignored (not a \"2|\" or \"3|\" entry): '" + issue.text + "'");
        else if (issue.line != 0)
            PrintMessage("warning: " + selectionFile + " line " + std::to_string(issue.line) + ": folder '" +
                         issue.text + "' not found" + reason);
        else
            PrintMessage("warning: folder '" + issue.text + "' not found" + reason);
    }
    if (report.error.empty())
        return true;
    PrintMessage(report.error);
    return false;
}

std::size_t CountNotFound(const RestoreReport& report) {
    return static_cast<std::size_t>(
        std::count_if(report.issues.begin(), report.issues.end(),
                      [](const RestoreIssue& issue) { return issue.kind == RestoreIssue::Kind::NotFound; }));
}

} // namespace

bool ConsoleSession::LoadConfiguration(const CommandLineInfo& commandLine) {
    // The settings file is optional: without one the controls keep their initial values.
    m_session.LoadSettingsFile(ListingSession::SettingsFilePath());
    if (!commandLine.m_bLoadConfiguration)
        return true;
    const std::string path = ResolveInputFile(commandLine.m_strConfigurationFile);
    ProfileFile probe;
    if (path.empty() || !probe.Load(path)) {
        PrintMessage("cannot read the configuration file '" + commandLine.m_strConfigurationFile + "'");
        return false;
    }
    m_session.LoadSettingsFile(path);
    return true;
}

bool ConsoleSession::LoadSelection(const std::string& selectionFile, CheckedDirList& checkedDirs) {
    const std::string path = ResolveInputFile(selectionFile);
    Selection selection;
    selection.report.fileRead = false;
    if (!path.empty())
        selection = LoadSelectionFile(path);
    if (!selection.report.fileRead) {
        PrintMessage("cannot read the selection file '" + selectionFile + "'");
        return false;
    }
    m_foldersMissing = CountNotFound(selection.report);
    checkedDirs = selection.checkedDirs;
    return PrintRestoreReport(selection.report, selectionFile);
}

bool ConsoleSession::SelectFolders(const std::vector<std::string>& folders, CheckedDirList& checkedDirs) {
    const Selection selection = quillary::SelectFolders(folders);
    m_foldersMissing = CountNotFound(selection.report);
    checkedDirs = selection.checkedDirs;
    return PrintRestoreReport(selection.report, {});
}

int ConsoleSession::RunListing(const CheckedDirList& checkedDirs, const std::string& outputPath,
                               bool typeFromExtension) {
    if (typeFromExtension)
        m_session.ChooseOutputTypeFromName(outputPath);
    ConsoleHost host;
    const RunResult result =
        quillary::RunListing(m_session.BuildRunTarget(checkedDirs, outputPath, false), &host);
    switch (result.status) {
    case RunStatus::Written:
        return result.problems.empty() && m_foldersMissing == 0 ? kExitOk : kExitIncomplete;
    case RunStatus::Cancelled:
        return kExitIncomplete;
    case RunStatus::NoOutputPath:
        PrintMessage("no output file given");
        break;
    case RunStatus::OpenFailed:
        PrintMessage("cannot open the output file '" + result.outputPath + "'");
        break;
    case RunStatus::WriteFailed:
        PrintMessage("error while writing '" + result.outputPath + "'");
        break;
    }
    return kExitFailed;
}

} // namespace quillary
