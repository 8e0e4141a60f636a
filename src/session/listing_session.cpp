#include "session/listing_session.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "model/memory_tree.h"
#include "model/options_rules.h"
#include "model/tri_state_tree.h"
#include "persistence/profile_file.h"
#include "persistence/settings_file.h"
#include "platform/file_io.h"
#include "platform/local_time.h"
#include "platform/path_syntax.h"
#include "platform/program_files.h"
#include "writers/compare_report.h"
#include "writers/output_types.h"

namespace quillary {

ListingSession::ListingSession(ControlSurface& form, ProgramLocations locations)
    : m_form(form), m_locations(std::move(locations)),
      m_languageFile(m_locations.DefaultDataFile(std::string(kDefaultLanguageTitle) + ".lng")) {}

std::string ListingSession::SettingsFilePath() const {
    return m_locations.settingsDir + kPathSeparator + kSettingsFileName;
}

std::string ListingSession::RememberedSelectionPath() const {
    return m_locations.settingsDir + kPathSeparator + kRememberedSelectionName;
}

std::string ListingSession::PreviewFilePath(OutputType outputType) const {
    if (m_locations.previewDir.empty())
        return {};
    return m_locations.previewDir + kPathSeparator + kPreviewFileTitle + "." +
           std::string(OutputTypeRow(outputType).extension);
}

LoadedFile ListingSession::LoadSettingsFile(const std::string& path) {
    const LoadedSettings loaded = LoadSettings(m_form, path);
    LoadedFile result;
    result.read = loaded.fileRead;
    result.window = loaded.window;
    if (!loaded.language.empty())
        result.language = ApplyLanguage(loaded.language);
    return result;
}

bool ListingSession::SaveSettingsFile(const std::string& path, std::string_view window) const {
    return SaveSettings(m_form, path, window, m_languageFile);
}

std::optional<AppliedLanguage> ListingSession::ApplyLanguage(const std::string& title) {
    if (title.empty())
        return std::nullopt;
    const std::string fileName = title + ".lng";
    const std::string path = m_locations.FindFile(fileName);
    m_languageFile = path.empty() ? m_locations.DefaultDataFile(fileName) : path;
    ProfileFile language;
    if (path.empty() || !language.Load(path))
        return std::nullopt;
    quillary::ApplyLanguage(language, m_form, m_messages);
    return AppliedLanguage{title, path, ReadMenuCaptions(language)};
}

std::string ListingSession::FindInputFile(const std::string& name) const {
    if (name.empty())
        return {};
    if (FileExists(name))
        return name;
    // A bare name has no folder and, on Windows, no drive ("c:name" is in the current folder of c:).
    if (kNativePaths.FindLastSeparator(name) == std::string::npos && kNativePaths.DrivePartLength(name) == 0)
        return m_locations.FindFile(name);
    return {};
}

SessionReport ListingSession::CheckHeaderTime() const {
    SessionReport report;
    std::optional<std::int64_t> time;
    if (!HeaderTimeFromEnvironment(time)) {
        report.lines.push_back("SOURCE_DATE_EPOCH must be a whole number of seconds from 0 to " +
                               std::to_string(kLastCalendarTime));
        report.exitStatus = kExitUsage;
    }
    return report;
}

SessionReport ListingSession::LoadConfiguration(const std::string& name, LoadedFile& loaded) {
    SessionReport report;
    const std::string path = FindInputFile(name);
    loaded = path.empty() ? LoadedFile() : LoadSettingsFile(path);
    if (!loaded.read) {
        report.lines.push_back("cannot read the configuration file '" + name + "'");
        report.exitStatus = kExitFailed;
    }
    return report;
}

SessionReport ListingSession::RestoreSelection(const std::string& name, const SelectionRestorer& restore) {
    const std::string path = FindInputFile(name);
    RestoreReport restored;
    restored.fileRead = false;
    if (!path.empty())
        restored = restore(path);
    m_foldersMissing = CountNotFound(restored);
    return DescribeRestore(restored, name);
}

SessionReport ListingSession::RestoreFolders(const std::vector<std::string>& folders,
                                             CheckedDirList& checkedDirs) {
    const Selection selection = SelectFolders(folders);
    m_foldersMissing = CountNotFound(selection.report);
    checkedDirs = selection.checkedDirs;
    return DescribeRestore(selection.report, {});
}

SessionReport ListingSession::FinishRun(const RunResult& result) const {
    return DescribeRun(result, m_foldersMissing);
}

bool ListingSession::ChooseOutputTypeFromName(const std::string& outputPath) {
    const std::optional<OutputType> type = OutputTypeFromName(outputPath);
    if (!type)
        return false;
    ChooseOutputType(*type);
    return true;
}

void ListingSession::ChooseOutputType(OutputType type) {
    m_form.SetCheckState(OutputTypeRow(type).radioId, 1);
    RefreshEnabling(m_form);
}

RunTarget ListingSession::BuildRunTarget(const CheckedDirList& checkedDirs, const std::string& outputPath,
                                         bool previewRun) const {
    RunTarget target;
    target.options = ReadOptions(m_form);
    target.checkedDirs = checkedDirs;
    target.messages = m_messages;
    target.outputPath = outputPath;
    target.previewRun = previewRun;
    HeaderTimeFromEnvironment(target.headerTime); // an unattended run checks it first
    target.threads = ThreadCountFromEnvironment();
    return target;
}

unsigned ThreadCountFromEnvironment() {
    const char* value = std::getenv("QUILLARY_THREADS");
    if (value == nullptr)
        return 0;
    const std::string_view text(value);
    unsigned count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1 || count > 64)
        return 0;
    return count;
}

bool HeaderTimeFromEnvironment(std::optional<std::int64_t>& time) {
    time.reset();
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (value == nullptr || *value == '\0')
        return true;
    const std::string_view text(value);
    std::int64_t seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds < 0 ||
        seconds > kLastCalendarTime)
        return false;
    time = seconds;
    return true;
}

namespace {

template <typename Restore> Selection RestoreIntoMemory(Restore restore) {
    MemoryDirTree tree;
    RefreshTree(tree);
    Selection selection;
    selection.report = restore(tree);
    if (selection.report.fileRead && selection.report.error.empty())
        CollectChecked(tree, selection.checkedDirs);
    return selection;
}

} // namespace

Selection LoadSelectionFile(const std::string& path) {
    return RestoreIntoMemory([&](DirTreeAccess& tree) { return LoadSelection(tree, path); });
}

Selection SelectFolders(const std::vector<std::string>& folders) {
    return RestoreIntoMemory([&](DirTreeAccess& tree) { return CheckFolders(tree, folders); });
}

RunResult RunListing(RunTarget target, ListingHost* host) {
    ListingEngine engine(host);
    engine.SetRunTarget(std::move(target));
    return engine.Run();
}

std::string ListingSession::CompareListingPath() const {
    const std::string preview = PreviewFilePath(OutputType::JsonLines);
    if (preview.empty())
        return {};
    // One file for each run: two comparisons at once must never list into the same file.
    return preview.substr(0, preview.rfind('.')) + "-compare-" + std::to_string(ProcessId()) + ".jsonl";
}

RunTarget ListingSession::BuildCompareListingTarget(const CheckedDirList& checkedDirs,
                                                    const std::string& listedPath) const {
    RunTarget target = BuildRunTarget(checkedDirs, listedPath, false);
    ListingOptions& o = target.options;
    o.m_outputType = OutputType::JsonLines;
    o.m_bDirName = o.m_bFileName = true;
    o.m_sortDirsBy = DirSortKey::Name;
    o.m_bSortDirsDescending = o.m_bFilesAllTogether = o.m_bListingInEachDir = false;
    return target;
}

CompareOutcome WriteCompareReport(const std::string& beforePath, const std::string& afterPath,
                                  const std::string& outputPath, const ListingOptions& options) {
    CompareOutcome outcome;
    OutputFile out;
    if (!out.Open(outputPath)) {
        outcome.error = "cannot write '" + outputPath + "': " + out.Error();
        return outcome;
    }
    CompareReport report(options.m_outputType, options.m_strCsvSeparator,
                         [&out](std::string_view text) { out.Write(text); });
    outcome = CompareListings(beforePath, afterPath, report);
    if (outcome.compared && !out.Close()) {
        outcome.compared = false;
        outcome.error = "cannot write '" + outputPath + "': " + out.Error();
    }
    return outcome;
}

} // namespace quillary
