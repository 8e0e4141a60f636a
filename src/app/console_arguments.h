// The console program's command line: the program's own "/o CONFIG" and "/l SELECTION OUTPUT", and the
// console's "--output OUTPUT DIR...", "--help" and "--version". Parsing decides what to do; nothing is
// read or printed here.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"

namespace quillary {

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
};

// `args` without the program name.
ConsoleArguments ParseConsoleArguments(const std::vector<std::string>& args);

} // namespace quillary
