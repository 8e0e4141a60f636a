#include "session/listing_session.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "listing/output_type.h"
#include "model/memory_tree.h"
#include "model/options_rules.h"
#include "model/tri_state_tree.h"
#include "persistence/language_file.h"
#include "persistence/settings_file.h"
#include "platform/path_syntax.h"
#include "platform/program_files.h"

namespace quillary {

std::string ListingSession::SettingsFilePath() {
    return SettingsDirectory() + kPathSeparator + kSettingsFileName;
}

std::string ListingSession::RememberedSelectionPath() {
    return SettingsDirectory() + kPathSeparator + kRememberedSelectionName;
}

LoadedFile ListingSession::LoadSettingsFile(const std::string& path) {
    const LoadedSettings loaded = LoadSettings(m_form, path);
    LoadedFile result;
    result.read = loaded.fileRead;
    result.window = loaded.window;
    if (loaded.language.empty())
        return result;
    const std::string languageFile = FindProgramFile(loaded.language + ".lng");
    if (!languageFile.empty() && ApplyLanguageFile(languageFile, m_form, m_messages))
        result.language = languageFile;
    return result;
}

bool ListingSession::ChooseOutputTypeFromName(const std::string& outputPath) {
    const int type = OutputTypeFromName(outputPath);
    if (type < 0)
        return false;
    m_form.SetCheckState(kIdOutputText + type, 1);
    RefreshEnabling(m_form);
    return true;
}

RunTarget ListingSession::BuildRunTarget(const CheckedDirList& checkedDirs, const std::string& outputPath,
                                         bool previewRun) const {
    RunTarget target;
    target.options = ReadOptions(m_form);
    target.checkedDirs = checkedDirs;
    target.messages = m_messages;
    target.outputPath = outputPath;
    target.previewRun = previewRun;
    HeaderTimeFromEnvironment(target.headerTime); // front ends check it before a run
    return target;
}

std::string ResolveInputFile(const std::string& name) {
    if (FileExists(name))
        return name;
    // A bare name has no folder and, on Windows, no drive ("c:name" is in the current folder of c:).
    if (kNativePaths.FindLastSeparator(name) == std::string::npos && kNativePaths.DrivePartLength(name) == 0)
        return FindProgramFile(name);
    return {};
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

} // namespace quillary
