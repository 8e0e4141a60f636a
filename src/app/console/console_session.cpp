#include "app/console/console_session.h"

#include <cstdio>
#include <cstdlib>

#include "app/console/console_host.h"
#include "persistence/language_file.h"
#include "persistence/selection_file.h"
#include "persistence/settings_file.h"
#include "platform/program_files.h"
#include "ui/model/memory_tree.h"
#include "ui/model/options_rules.h"
#include "ui/model/tri_state_tree.h"

namespace quillary {

namespace {

std::optional<std::int64_t> HeaderTimeFromEnvironment() {
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    char* end = nullptr;
    const long long seconds = std::strtoll(value, &end, 10);
    if (*end != '\0')
        return std::nullopt;
    return seconds;
}

std::string Lowercase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return text;
}

// One warning per line or folder that was not restored. False, after printing the error, when the
// selection cannot be restored as it is meant.
bool PrintRestoreReport(const RestoreReport& report, const std::string& selectionFile) {
    for (const RestoreIssue& issue : report.issues) {
        const std::string reason = issue.reason.empty() ? std::string() : ": " + issue.reason;
        if (issue.kind == RestoreIssue::Kind::Ignored)
            std::fprintf(stderr,
                         "quillary-cli: warning: %s line %zu ignored (not a \"2|\" or \"3|\" entry): '%s'\n",
                         selectionFile.c_str(), issue.line, issue.text.c_str());
        else if (issue.line != 0)
            std::fprintf(stderr, "quillary-cli: warning: %s line %zu: folder '%s' not found%s\n",
                         selectionFile.c_str(), issue.line, issue.text.c_str(), reason.c_str());
        else
            std::fprintf(stderr, "quillary-cli: warning: folder '%s' not found%s\n", issue.text.c_str(),
                         reason.c_str());
    }
    if (report.error.empty())
        return true;
    std::fprintf(stderr, "quillary-cli: %s\n", report.error.c_str());
    return false;
}

} // namespace

std::string ResolveInputFile(const std::string& name) {
    if (FileExists(name))
        return name;
    if (name.find('/') == std::string::npos)
        return FindProgramFile(name);
    return {};
}

int OutputTypeFromName(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return -1;
    const std::string extension = Lowercase(path.substr(dot + 1));
    if (extension == "txt")
        return kOutputText;
    if (extension == "html" || extension == "htm")
        return kOutputHtml;
    if (extension == "csv")
        return kOutputCsv;
    return -1;
}

void ConsoleSession::LoadSettingsFile(const std::string& path) {
    const LoadedSettings loaded = LoadSettings(m_form, path);
    if (loaded.language.empty())
        return;
    // A language that is not installed changes nothing.
    const std::string languageFile = FindProgramFile(loaded.language + ".lng");
    if (!languageFile.empty())
        ApplyLanguageFile(languageFile, m_form, m_messages);
}

bool ConsoleSession::LoadConfiguration(const CommandLineInfo& commandLine) {
    // The settings file is optional: without one the controls keep their initial values.
    LoadSettingsFile(SettingsDirectory() + "/" + kSettingsFileName);
    if (!commandLine.m_bLoadConfiguration)
        return true;
    const std::string path = ResolveInputFile(commandLine.m_strConfigurationFile);
    ProfileFile probe;
    if (path.empty() || !probe.Load(path)) {
        std::fprintf(stderr, "quillary-cli: cannot read the configuration file '%s'\n",
                     commandLine.m_strConfigurationFile.c_str());
        return false;
    }
    LoadSettingsFile(path);
    return true;
}

bool ConsoleSession::LoadSelection(const std::string& selectionFile, CheckedDirList& checkedDirs) const {
    const std::string path = ResolveInputFile(selectionFile);
    MemoryDirTree tree;
    RefreshTree(tree);
    RestoreReport report;
    report.fileRead = false;
    if (!path.empty())
        report = quillary::LoadSelection(tree, path);
    if (!report.fileRead) {
        std::fprintf(stderr, "quillary-cli: cannot read the selection file '%s'\n", selectionFile.c_str());
        return false;
    }
    if (!PrintRestoreReport(report, selectionFile))
        return false;
    CollectChecked(tree, checkedDirs);
    return true;
}

bool ConsoleSession::SelectFolders(const std::vector<std::string>& folders,
                                   CheckedDirList& checkedDirs) const {
    MemoryDirTree tree;
    RefreshTree(tree);
    if (!PrintRestoreReport(CheckFolders(tree, folders), {}))
        return false;
    CollectChecked(tree, checkedDirs);
    return true;
}

int ConsoleSession::RunListing(const CheckedDirList& checkedDirs, const std::string& outputPath,
                               bool typeFromExtension) {
    // An output name's extension picks the output type as the radio buttons would, so that the
    // options that depend on the type (links, column names) follow it.
    if (const int type = OutputTypeFromName(outputPath); typeFromExtension && type >= 0) {
        m_form.SetCheckState(kIdOutputText + type, 1);
        RefreshEnabling(m_form);
    }
    RunTarget target;
    target.options = ReadOptions(m_form);
    target.checkedDirs = checkedDirs;
    target.messages = m_messages;
    target.outputPath = outputPath;
    target.headerTime = HeaderTimeFromEnvironment();

    ConsoleHost host;
    ListingEngine engine(&host);
    engine.SetRunTarget(std::move(target));
    const RunStatus status = engine.Run();
    host.LeaveBusyState();
    switch (status) {
    case RunStatus::Written:
        return kExitOk;
    case RunStatus::NoOutputPath:
        std::fprintf(stderr, "quillary-cli: no output file given\n");
        break;
    case RunStatus::OpenFailed:
        std::fprintf(stderr, "quillary-cli: cannot open the output file '%s'\n", engine.OutputPath().c_str());
        break;
    case RunStatus::WriteFailed:
        std::fprintf(stderr, "quillary-cli: error while writing '%s'\n", engine.OutputPath().c_str());
        break;
    }
    return kExitFailed;
}

} // namespace quillary
