// Command lines come from scripts and scheduled tasks that may pass anything: parsing any words must
// not crash, and what it decides must be consistent. The input's NUL bytes separate the words.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/console_arguments.h"

namespace {

bool IsOneOf(const std::string& text, const std::vector<std::string>& words) {
    return std::find(words.begin(), words.end(), text) != words.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    using Action = quillary::ConsoleArguments::Action;
    const quillary::ConsoleArguments arguments = quillary::ParseConsoleArguments(words);
    const quillary::CommandLineInfo& line = arguments.commandLine;
    const bool listing = arguments.action == Action::ListSelection || arguments.action == Action::ListFolders;
    // A run always has what it needs, and never comes with a problem.
    if (listing && line.m_bLoadConfiguration && line.m_strConfigurationFile.empty())
        __builtin_trap();
    if (arguments.action == Action::ListSelection &&
        (line.m_strSelectionFile.empty() || !IsOneOf(line.m_strOutputFile, words)))
        __builtin_trap();
    if (arguments.action == Action::ListFolders &&
        (arguments.folders.empty() || !IsOneOf(arguments.outputPath, words)))
        __builtin_trap();
    if (listing && !arguments.problem.empty())
        __builtin_trap();
    // The same words decide the same.
    const quillary::ConsoleArguments again = quillary::ParseConsoleArguments(words);
    if (again.action != arguments.action || again.problem != arguments.problem ||
        again.outputPath != arguments.outputPath || again.folders != arguments.folders ||
        again.commandLine.m_strSelectionFile != line.m_strSelectionFile)
        __builtin_trap();
    return 0;
}
