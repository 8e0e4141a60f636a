// The console program's command line: the program's own "/o CONFIG" and "/l SELECTION OUTPUT", and the
// console's "--output OUTPUT DIR...", "--hash LIST", "--help" and "--version". Parsing decides what to
// do; nothing is read or printed here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace quillary {

// The checksum columns "--hash" asks for, over what the settings and the configuration say.
struct HashColumns {
    bool crc32 = false;
    bool xxh3 = false;
    bool sha256 = false;
};

struct ConsoleArguments {
    enum class Action {
        Usage,         // not understood: print `problem` (when set) and the usage, exit 2
        Help,          // --help
        Version,       // --version
        ListSelection, // /l SELECTION OUTPUT
        ListFolders,   // --output OUTPUT DIR...
    };
    Action action = Action::Usage;
    std::string problem;         // one line saying what was not understood; "" for a bare usage
    CommandLineInfo commandLine; // the switches before --output
    std::string outputPath;      // --output
    std::vector<std::string> folders;
    std::optional<HashColumns> hashes; // --hash crc32,xxh3,sha256 or --hash none
};

// The columns of a "--hash" list ("crc32,xxh3,sha256" in any order and case, or "none"); nullopt for a
// list with another word in it.
std::optional<HashColumns> ParseHashList(const std::string& list);

// `args` without the program name.
ConsoleArguments ParseConsoleArguments(const std::vector<std::string>& args);

} // namespace quillary
