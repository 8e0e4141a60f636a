// quillary-cli: writes a listing without the window.
//
//   quillary-cli [/o CONFIG] /l SELECTION OUTPUT     the listing of a saved folder selection
//   quillary-cli [/o CONFIG] --output FILE DIR...     the listing of the folders, each with its subfolders
//   quillary-cli --help | --version
//
// The settings file is read first, then the configuration; the console program never writes them.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/console/console_session.h"
#include "listing/product.h"

namespace quillary {
namespace {

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "Usage: quillary-cli [/o CONFIG] /l SELECTION OUTPUT\n"
                     "       quillary-cli [/o CONFIG] --output OUTPUT DIR...\n"
                     "       quillary-cli --help | --version\n"
                     "\n"
                     "Writes a listing with the options of the settings file (quillary.INI) and, with\n"
                     "/o, of the configuration CONFIG (.qlc added when the name has no dot).\n"
                     "  /l SELECTION OUTPUT  lists the folders of a selection file (.qls added when the\n"
                     "                       name has no dot) into OUTPUT.\n"
                     "  --output OUTPUT DIR  lists each DIR with all its subfolders. An OUTPUT ending in\n"
                     "                       .txt, .html, .htm or .csv chooses that output type; \"-\" is\n"
                     "                       standard output.\n"
                     "Switches may start with \"/\" or \"-\" and ignore case. SOURCE_DATE_EPOCH fixes the\n"
                     "header's time stamp.\n"
                     "\n"
                     "Exit status: 0 listing written and complete; 1 not written (an input file\n"
                     "could not be read, the output could not be opened or written); 2 command line\n"
                     "not understood; 3 written, but something could not be read (each problem is\n"
                     "reported on stderr).\n");
}

int Main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> words; // the switch words before --output
    std::string outputPath;
    std::vector<std::string> folders;
    bool directForm = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help") {
            PrintUsage(stdout);
            return kExitOk;
        }
        if (arg == "--version") {
            std::printf("quillary-cli %s\n", kVersionText);
            return kExitOk;
        }
        if (arg == "--output") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quillary-cli: --output needs a file name\n");
                return kExitUsage;
            }
            directForm = true;
            outputPath = args[i + 1];
            folders.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 2, args.end());
            break;
        }
        if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "quillary-cli: unknown option '%s'\n", arg.c_str());
            PrintUsage(stderr);
            return kExitUsage;
        }
        words.push_back(arg);
    }
    const CommandLineInfo commandLine = CommandLineInfo::Parse(words);
    if (directForm ? folders.empty() : !commandLine.m_bUnattended) {
        PrintUsage(stderr);
        return kExitUsage;
    }

    ConsoleSession session;
    if (!session.LoadConfiguration(commandLine))
        return kExitFailed;
    CheckedDirList checkedDirs;
    if (directForm) {
        if (!session.SelectFolders(folders, checkedDirs))
            return kExitFailed;
        return session.RunListing(checkedDirs, outputPath, true);
    }
    if (!session.LoadSelection(commandLine.m_strSelectionFile, checkedDirs))
        return kExitFailed;
    return session.RunListing(checkedDirs, commandLine.m_strOutputFile, false);
}

} // namespace
} // namespace quillary

int main(int argc, char** argv) {
    return quillary::Main(argc, argv);
}
