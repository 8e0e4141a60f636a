// quillary-cli: writes a listing without the window.
//
//   quillary-cli --output FILE DIR...     list the folders (each with its subfolders)
//   quillary-cli --help | --version
//
// Exit status: 0 when the listing was written, 1 when an input or output file failed, 2 for a
// command line that cannot be understood.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/console/console_host.h"
#include "engine/listing_engine.h"
#include "platform/program_files.h"

namespace quillary {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "Usage: quillary-cli --output FILE DIR...\n"
                 "       quillary-cli --help | --version\n"
                 "\n"
                 "Writes a listing of the given folders, each with all its subfolders, to FILE\n"
                 "(\"-\" for standard output). A FILE ending in .txt, .html, .htm or .csv chooses\n"
                 "that output type.\n"
                 "\n"
                 "Exit status: 0 listing written, 1 a file could not be read or written,\n"
                 "2 bad command line.\n");
}

struct DirectForm {
    std::string outputPath;
    std::vector<std::string> folders;
};

// Chooses the output type from the output file's extension; other names keep the configured type.
void ApplyOutputExtension(const std::string& path, ListingOptions& options) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (extension == "txt")
        options.m_nOutputType = kOutputText;
    else if (extension == "html" || extension == "htm")
        options.m_nOutputType = kOutputHtml;
    else if (extension == "csv")
        options.m_nOutputType = kOutputCsv;
}

std::optional<std::int64_t> HeaderTimeFromEnvironment() {
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    char* end = nullptr;
    const long long seconds = std::strtoll(value, &end, 10);
    if (*end != '\0')
        return std::nullopt;
    return seconds;
}

int RunListing(RunTarget target) {
    ConsoleHost host;
    ListingEngine engine(&host);
    target.headerTime = HeaderTimeFromEnvironment();
    engine.SetRunTarget(std::move(target));
    const RunStatus status = engine.Run();
    host.LeaveBusyState();
    switch (status) {
    case RunStatus::Written: return kExitOk;
    case RunStatus::NoOutputPath:
        std::fprintf(stderr, "quillary-cli: no output file given\n");
        return kExitFailed;
    case RunStatus::OpenFailed:
        std::fprintf(stderr, "quillary-cli: cannot open the output file '%s'\n", engine.OutputPath().c_str());
        return kExitFailed;
    case RunStatus::WriteFailed:
        std::fprintf(stderr, "quillary-cli: error while writing '%s'\n", engine.OutputPath().c_str());
        return kExitFailed;
    }
    return kExitFailed;
}

int RunDirectForm(const DirectForm& form) {
    RunTarget target;
    ApplyOutputExtension(form.outputPath, target.options);
    for (const std::string& folder : form.folders) {
        const std::string path = AbsolutePath(folder);
        if (!IsDirectory(path)) {
            std::fprintf(stderr, "quillary-cli: warning: '%s' is not a folder\n", folder.c_str());
            continue;
        }
        target.checkedDirs.push_back("3|" + path);
    }
    target.outputPath = form.outputPath;
    return RunListing(std::move(target));
}

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    DirectForm direct;
    bool haveOutput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return kExitOk;
        }
        if (arg == "--version") {
            std::printf("quillary-cli %s\n", QUILLARY_VERSION_TEXT);
            return kExitOk;
        }
        if (arg == "--output" || arg == "-o") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quillary-cli: --output needs a file name\n");
                return kExitUsage;
            }
            direct.outputPath = args[++i];
            haveOutput = true;
        } else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "quillary-cli: unknown option '%s'\n", arg.c_str());
            PrintUsage(stderr);
            return kExitUsage;
        } else {
            direct.folders.push_back(arg);
        }
    }
    if (!haveOutput || direct.folders.empty()) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    return RunDirectForm(direct);
}

} // namespace
} // namespace quillary

int main(int argc, char** argv) { return quillary::Main(argc, argv); }
