// The console program's command line: the program's own "/o CONFIG" and "/l SELECTION OUTPUT", and the
// console's "--output OUTPUT DIR...", "--type NAME", "--hash LIST", "--no-cache", "--exclude MASK",
// "--exclude-from FILE", "--help" and "--version". Parsing decides what to do; nothing is read or printed
// here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "listing/output_type.h"

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
        Compare,       // --compare BEFORE AFTER... --output REPORT
    };
    Action action = Action::Usage;
    std::string problem;         // one line saying what was not understood; "" for a bare usage
    CommandLineInfo commandLine; // the switches before --output
    std::string outputPath;      // --output
    std::vector<std::string> folders;
    std::string compareBefore;             // --compare: the earlier listing
    std::vector<std::string> compareAfter; // the later listing, or folders to list first
    std::optional<HashColumns> hashes;     // --hash crc32,xxh3,sha256 or --hash none
    std::optional<OutputType> outputType;  // --type NAME, over the extension and the configuration
    bool noCache = false;                  // --no-cache: checksums neither taken from nor kept in the cache
    // Folder masks added to the configured "Exclude folders" for this run, each as given.
    std::vector<std::string> excludeMasks;     // --exclude MASK
    std::vector<std::string> excludeFromFiles; // --exclude-from FILE
};

// The patterns of an exclude file as one mask: one pattern a line (spaces around it dropped), empty
// lines and lines starting with "#" skipped, joined by ";".
std::string ExcludeMaskFromLines(std::string_view text);

// `mask` with `more` patterns after it (either may be empty).
std::string JoinMasks(const std::string& mask, const std::string& more);

// The columns of a "--hash" list ("crc32,xxh3,sha256" in any order and case, or "none"); nullopt for a
// list with another word in it.
std::optional<HashColumns> ParseHashList(const std::string& list);

// `args` without the program name.
ConsoleArguments ParseConsoleArguments(const std::vector<std::string>& args);

} // namespace quillary
