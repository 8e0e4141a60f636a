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
        std::fprintf(stderr, "quillary-cli: cannot read the configuration file '%s'\n",
                     commandLine.m_strConfigurationFile.c_str());
        return false;
    }
    m_session.LoadSettingsFile(path);
    return true;
}

bool ConsoleSession::LoadSelection(const std::string& selectionFile, CheckedDirList& checkedDirs) const {
    const std::string path = ResolveInputFile(selectionFile);
    std::string contents;
    if (path.empty() || !ReadSelectionText(path, contents)) {
        std::fprintf(stderr, "quillary-cli: cannot read the selection file '%s'\n", selectionFile.c_str());
        return false;
    }
    const std::string currentDirectory = CurrentDirectory();
    MemoryTree memory;
    FolderTree tree(memory);
    tree.Refresh();
    for (const SelectionLine& entry : ParseSelectionText(contents, currentDirectory)) {
        if (!IsDirectory(entry.path))
            std::fprintf(stderr, "quillary-cli: warning: '%s' is not a folder\n", entry.path.c_str());
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
            std::fprintf(stderr, "quillary-cli: warning: '%s' is not a folder\n", folder.c_str());
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
        std::fprintf(stderr, "quillary-cli: no output file given\n");
        break;
    case RunStatus::OpenFailed:
        std::fprintf(stderr, "quillary-cli: cannot open the output file '%s'\n", result.outputPath.c_str());
        break;
    case RunStatus::WriteFailed:
        std::fprintf(stderr, "quillary-cli: error while writing '%s'\n", result.outputPath.c_str());
        break;
    }
    return kExitFailed;
}

} // namespace quillary
