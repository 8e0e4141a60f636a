#include "app/console/console_session.h"

#include <cstdio>

#include "app/console/console_host.h"
#include "persistence/profile_file.h"
#include "persistence/selection_file.h"
#include "platform/program_files.h"
#include "ui/model/folder_tree.h"

namespace quillary {

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

bool ConsoleSession::LoadSelection(const std::string& selectionFile, CheckedDirList& checkedDirs) const {
    const std::string path = ResolveInputFile(selectionFile);
    std::string contents;
    if (path.empty() || !ReadSelectionText(path, contents)) {
        PrintMessage("cannot read the selection file '" + selectionFile + "'");
        return false;
    }
    const std::string currentDirectory = CurrentDirectory();
    MemoryTree memory;
    FolderTree tree(memory);
    tree.Refresh();
    for (const SelectionLine& entry : ParseSelectionText(contents, currentDirectory)) {
        if (!IsDirectory(entry.path))
            PrintMessage("warning: '" + entry.path + "' is not a folder");
        tree.RestoreCheck(entry.path, entry.withSubdirs);
    }
    tree.CollectChecked(checkedDirs);
    return true;
}

CheckedDirList ConsoleSession::SelectFolders(const std::vector<std::string>& folders) const {
    MemoryTree memory;
    FolderTree tree(memory);
    tree.Refresh();
    for (const std::string& folder : folders) {
        const std::string path = AbsolutePath(folder);
        if (!IsDirectory(path)) {
            PrintMessage("warning: '" + folder + "' is not a folder");
            continue;
        }
        tree.RestoreCheck(path, true);
    }
    CheckedDirList checkedDirs;
    tree.CollectChecked(checkedDirs);
    return checkedDirs;
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
        return result.problems.empty() ? kExitOk : kExitIncomplete;
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
