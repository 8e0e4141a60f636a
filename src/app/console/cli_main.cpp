// quillary-cli: writes a listing without the window.
//
//   quillary-cli [/o CONFIG] [OPTION...] /l SELECTION OUTPUT     the listing of a saved folder selection
//   quillary-cli [/o CONFIG] [OPTION...] --output OUTPUT DIR...   the listing of the folders, each with
//                                                                   its subfolders
//   quillary-cli --help | --version
//
// The settings file is read first, then the configuration; the console program never writes them.
#include <cstdio>
#include <string>
#include <vector>

#include "app/console/console_host.h"
#include "app/console/console_session.h"
#include "app/console_arguments.h"
#include "listing/product.h"
#include "platform/console.h"
#include "platform/program_locations.h"

namespace quillary {
namespace {

// How the usage names a device that may be the output.
#ifdef _WIN32
constexpr const char* kDeviceExample = "An OUTPUT that is a device (NUL)";
#else
constexpr const char* kDeviceExample = "An OUTPUT that is a device, FIFO or socket (/dev/null)";
#endif

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "Usage: quillary-cli [/o CONFIG] [OPTION...] /l SELECTION OUTPUT\n"
                 "       quillary-cli [/o CONFIG] [OPTION...] --output OUTPUT DIR...\n"
                 "       quillary-cli [/o CONFIG] --compare BEFORE.jsonl AFTER --output REPORT\n"
                 "       quillary-cli --help | --version\n"
                 "\n"
                 "Writes a listing with the options of the settings file (quillary.INI) and, with\n"
                 "/o, of the configuration CONFIG (.qlc added when the name has no dot).\n"
                 "  /l SELECTION OUTPUT  lists the folders of a selection file (.qls added when the\n"
                 "                       name has no dot) into OUTPUT, of the configured output\n"
                 "                       type; an OUTPUT without a dot gets that type's extension.\n"
                 "  --output OUTPUT DIR  lists each DIR with all its subfolders. An OUTPUT ending in\n"
                 "                       .txt, .html, .htm, .csv or .jsonl chooses that output type;\n"
                 "                       \"-\" is standard output. Every word after OUTPUT is a DIR,\n"
                 "                       so /o comes before --output.\n"
                 "  --type TYPE          the output type, whatever OUTPUT's extension and the\n"
                 "                       options say: txt, html, csv, jsonl or browsable-html (an\n"
                 "                       HTML file with a folder tree, sorting and a search).\n"
                 "  --hash LIST          the checksum columns for this run, whatever the options\n"
                 "                       say: crc32, xxh3 and sha256 separated by commas, or none.\n"
                 "  --no-cache           reads every checksum from the files, neither using nor\n"
                 "                       filling the checksum cache of earlier runs.\n"
                 "  --exclude MASK       folders whose names match MASK (the file mask's syntax:\n"
                 "                       * and ?, patterns separated by ;) are not read at all,\n"
                 "                       besides the configured \"Exclude folders\".\n"
                 "  --exclude-from FILE  the same for the patterns in FILE, one a line (# comments).\n"
                 "  --compare BEFORE AFTER --output REPORT  reports the folders and files added,\n"
                 "                       removed or changed between two JSON Lines listings; AFTER\n"
                 "                       may also be folders, listed first. REPORT is written in the\n"
                 "                       output type its name or the options choose.\n"
                 "%s is written as named, without an extension added.\n"
                 "An existing OUTPUT is replaced only by a complete listing: after an error the\n"
                 "old file stays. Switches may start with \"/\" or \"-\" and ignore case.\n"
                 "SOURCE_DATE_EPOCH (seconds from 0 to 253402300799) fixes the header's time stamp.\n"
                 "\n"
                 "Exit status: 0 listing written and complete; 1 not written (an input file\n"
                 "could not be read, the output could not be opened or written); 2 command line\n"
                 "not understood (also /l without both files, /o without a file, a bad\n"
                 "SOURCE_DATE_EPOCH); 3 written, but something could not be read or a folder\n"
                 "listing was not written (each problem is reported on stderr); 4 (--compare)\n"
                 "the listings differ.\n",
                 kDeviceExample);
}

int Main(const std::vector<std::string>& commandLineArguments) {
    const Utf8Console console;
    const ConsoleArguments arguments = ParseConsoleArguments(commandLineArguments);
    using Action = ConsoleArguments::Action;
    switch (arguments.action) {
    case Action::Help:
        PrintUsage(stdout);
        return kExitOk;
    case Action::Version:
        std::printf("quillary-cli %s\n", kVersionText);
        return kExitOk;
    case Action::Usage:
        if (!arguments.problem.empty())
            PrintMessage(arguments.problem);
        PrintUsage(stderr);
        return kExitUsage;
    case Action::Compare:
        return ConsoleSession(ProgramLocations::ForThisProgram()).Compare(arguments);
    case Action::ListSelection:
    case Action::ListFolders:
        break;
    }
    return ConsoleSession(ProgramLocations::ForThisProgram()).List(arguments);
}

} // namespace
} // namespace quillary

int main(int argc, char** argv) {
    quillary::EndCleanlyOnResourceLimits("quillary-cli", quillary::kExitFailed);
    return quillary::Main(quillary::ProgramArguments(argc, argv));
}
