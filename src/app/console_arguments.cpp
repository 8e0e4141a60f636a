#include "app/console_arguments.h"

#include <algorithm>

#include "writers/output_types.h"

namespace quillary {

namespace {

// "txt, html, csv, jsonl or browsable-html": the words --type takes.
std::string OutputTypeNames() {
    std::string names;
    const auto types = OutputTypes();
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (i > 0)
            names += i + 1 == types.size() ? " or " : ", ";
        names += types[i].name;
    }
    return names;
}

// Long options ignore case as the one-letter switches do ("--HELP", "--Output"): ASCII letters only.
bool IsOption(const std::string& arg, const char* name) {
    std::size_t i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i >= arg.size())
            return false;
        char c = arg[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != name[i])
            return false;
    }
    return i == arg.size();
}

} // namespace

std::optional<HashColumns> ParseHashList(const std::string& list) {
    HashColumns columns;
    std::size_t start = 0;
    bool none = false, any = false;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string word = list.substr(start, end - start);
        if (IsOption(word, "crc32"))
            columns.crc32 = true;
        else if (IsOption(word, "xxh3"))
            columns.xxh3 = true;
        else if (IsOption(word, "sha256"))
            columns.sha256 = true;
        else if (IsOption(word, "none"))
            none = true;
        else
            return std::nullopt;
        any = any || !IsOption(word, "none");
        start = end + 1;
    }
    // "none" turns every checksum off and cannot be mixed with one.
    if (none && any)
        return std::nullopt;
    return columns;
}

std::string ExcludeMaskFromLines(std::string_view text) {
    std::string mask;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
        mask = JoinMasks(mask, std::string(line));
    }
    return mask;
}

std::string JoinMasks(const std::string& mask, const std::string& more) {
    if (mask.empty())
        return more;
    if (more.empty())
        return mask;
    return mask + ";" + more;
}

ConsoleArguments ParseConsoleArguments(const std::vector<std::string>& args) {
    ConsoleArguments result;
    using Action = ConsoleArguments::Action;
    std::vector<std::string> words; // the switch words before --output
    bool directForm = false;
    bool compareForm = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsOption(arg, "--help") || IsOption(arg, "--version")) {
            result.action = IsOption(arg, "--help") ? Action::Help : Action::Version;
            return result;
        }
        if (IsOption(arg, "--compare")) {
            // --compare BEFORE AFTER... --output REPORT
            std::size_t end = i + 1;
            while (end < args.size() && !IsOption(args[end], "--output"))
                ++end;
            if (end - i < 3 || end + 2 != args.size()) {
                result.problem =
                    "--compare needs a listing, a later listing or folders, then --output REPORT";
                return result;
            }
            result.compareBefore = args[i + 1];
            result.compareAfter.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 2,
                                       args.begin() + static_cast<std::ptrdiff_t>(end));
            result.outputPath = args[end + 1];
            compareForm = true;
            break;
        }
        if (IsOption(arg, "--output")) {
            if (i + 1 >= args.size()) {
                result.problem = "--output needs a file name";
                return result;
            }
            if (i + 2 >= args.size()) {
                result.problem = "--output needs at least one folder after the output name";
                return result;
            }
            directForm = true;
            result.outputPath = args[i + 1];
            result.folders.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 2, args.end());
            break;
        }
        if (IsOption(arg, "--hash")) {
            if (i + 1 >= args.size()) {
                result.problem = "--hash needs a list such as crc32,xxh3,sha256 or none";
                return result;
            }
            result.hashes = ParseHashList(args[++i]);
            if (!result.hashes) {
                result.problem =
                    "--hash takes crc32, xxh3 and sha256 separated by commas, or none: '" + args[i] + "'";
                return result;
            }
            continue;
        }
        if (IsOption(arg, "--type")) {
            if (i + 1 >= args.size()) {
                result.problem = "--type needs an output type: " + OutputTypeNames();
                return result;
            }
            result.outputType = OutputTypeNamed(args[++i]);
            if (!result.outputType) {
                result.problem = "--type takes " + OutputTypeNames() + ": '" + args[i] + "'";
                return result;
            }
            continue;
        }
        if (IsOption(arg, "--no-cache")) {
            result.noCache = true;
            continue;
        }
        if (IsOption(arg, "--exclude") || IsOption(arg, "--exclude-from")) {
            if (i + 1 >= args.size()) {
                result.problem = IsOption(arg, "--exclude") ? "--exclude needs a mask of folder names"
                                                            : "--exclude-from needs a file name";
                return result;
            }
            (IsOption(arg, "--exclude") ? result.excludeMasks : result.excludeFromFiles)
                .push_back(args[i + 1]);
            ++i;
            continue;
        }
        if (arg.rfind("--", 0) == 0) {
            result.problem = "unknown option '" + arg + "'";
            return result;
        }
        words.push_back(arg);
    }
    result.commandLine = CommandLineInfo::Parse(words);
    result.problem = result.commandLine.MissingParameter();
    if (!result.problem.empty())
        return result;
    if (compareForm)
        result.action = Action::Compare;
    else if (directForm)
        result.action = Action::ListFolders;
    else if (!directForm && result.commandLine.m_bUnattended)
        result.action = Action::ListSelection;
    return result;
}

} // namespace quillary
