#include "app/console/console_session.h"

#include "app/console/console_host.h"
#include <optional>

#include "model/options_rules.h"
#include "platform/file_io.h"
#include "writers/output_types.h"

namespace quillary {

namespace {

// Prints the report's lines; true when the listing goes on.
bool Tell(const SessionReport& report) {
    for (const std::string& line : report.lines)
        PrintMessage(line);
    return !report.Stops();
}

} // namespace

std::optional<int> ConsoleSession::Prepare(const ConsoleArguments& arguments) {
    if (const SessionReport report = m_session.CheckHeaderTime(); !Tell(report))
        return report.exitStatus;
    // The settings file is optional: without one the controls keep their initial values.
    m_session.LoadSettingsFile(m_session.SettingsFilePath());
    const CommandLineInfo& commandLine = arguments.commandLine;
    if (commandLine.m_bLoadConfiguration) {
        LoadedFile loaded;
        if (const SessionReport report =
                m_session.LoadConfiguration(commandLine.m_strConfigurationFile, loaded);
            !Tell(report))
            return report.exitStatus;
    }
    return std::nullopt;
}

int ConsoleSession::Compare(const ConsoleArguments& arguments) {
    if (const std::optional<int> stop = Prepare(arguments))
        return *stop;
    // The later side named as folders is listed first, in the order the comparison reads a folder at
    // a time, into a private file removed afterwards.
    std::string after = arguments.compareAfter.front();
    std::string listed;
    if (arguments.compareAfter.size() > 1 || OutputTypeFromName(after) != OutputType::JsonLines) {
        CheckedDirList checkedDirs;
        if (const SessionReport restored = m_session.RestoreFolders(arguments.compareAfter, checkedDirs);
            !Tell(restored))
            return restored.exitStatus;
        listed = m_session.CompareListingPath();
        if (listed.empty()) {
            PrintMessage("no private folder for the listing of the folders to compare");
            return kExitFailed;
        }
        RunTarget target = m_session.BuildCompareListingTarget(checkedDirs, listed);
        if (arguments.noCache)
            target.options.m_bKeepChecksums = false;
        RunResult result;
        {
            ConsoleHost host(m_session.Messages());
            result = RunListing(std::move(target), &host);
        }
        for (const RunProblem& problem : result.problems)
            PrintMessage(DescribeProblem(problem));
        if (result.status != RunStatus::Written) {
            PrintMessage("cannot list the folders to compare into '" + listed + "'");
            return kExitFailed;
        }
        after = result.outputPath;
    }

    m_session.ChooseOutputTypeFromName(arguments.outputPath);
    if (arguments.outputType)
        m_session.ChooseOutputType(*arguments.outputType);
    const ListingOptions options = ReadOptions(m_session.Form());
    const CompareOutcome outcome =
        WriteCompareReport(arguments.compareBefore, after, arguments.outputPath, options);
    if (!listed.empty())
        RemoveFileQuietly(listed);
    if (!outcome.compared) {
        PrintMessage(outcome.error);
        return kExitFailed;
    }
    return outcome.totals.AnyChange() ? kExitChanged : kExitOk;
}

int ConsoleSession::List(const ConsoleArguments& arguments) {
    if (const std::optional<int> stop = Prepare(arguments))
        return *stop;
    const CommandLineInfo& commandLine = arguments.commandLine;

    // Folder masks of the command line, added to the configured ones.
    std::string excludes;
    for (const std::string& mask : arguments.excludeMasks)
        excludes = JoinMasks(excludes, mask);
    for (const std::string& file : arguments.excludeFromFiles) {
        std::string text;
        if (!ReadWholeFile(file, text)) {
            PrintMessage("cannot read the exclude file '" + file + "'");
            return kExitFailed;
        }
        excludes = JoinMasks(excludes, ExcludeMaskFromLines(text));
    }

    CheckedDirList checkedDirs;
    std::string outputPath = commandLine.m_strOutputFile;
    SessionReport restored;
    if (arguments.action == ConsoleArguments::Action::ListFolders) {
        restored = m_session.RestoreFolders(arguments.folders, checkedDirs);
        outputPath = arguments.outputPath;
        m_session.ChooseOutputTypeFromName(outputPath);
    } else {
        restored = m_session.RestoreSelection(commandLine.m_strSelectionFile, [&](const std::string& path) {
            Selection selection = LoadSelectionFile(path);
            checkedDirs = std::move(selection.checkedDirs);
            return selection.report;
        });
    }
    if (!Tell(restored))
        return restored.exitStatus;
    if (arguments.outputType)
        m_session.ChooseOutputType(*arguments.outputType);

    RunResult result;
    {
        ConsoleHost host(m_session.Messages()); // its progress line ends before the outcome is told
        RunTarget target = m_session.BuildRunTarget(checkedDirs, outputPath, false);
        target.options.m_strExcludeMask = JoinMasks(target.options.m_strExcludeMask, excludes);
        if (arguments.hashes) {
            target.options.m_bFileCrc32 = arguments.hashes->crc32;
            target.options.m_bFileXxh3 = arguments.hashes->xxh3;
            target.options.m_bFileSha256 = arguments.hashes->sha256;
        }
        if (arguments.noCache)
            target.options.m_bKeepChecksums = false;
        result = RunListing(std::move(target), &host);
    }
    const SessionReport finished = m_session.FinishRun(result);
    Tell(finished);
    return finished.exitStatus;
}

} // namespace quillary
