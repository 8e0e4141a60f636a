#include "app/console_arguments.h"

namespace quillary {

ConsoleArguments ParseConsoleArguments(const std::vector<std::string>& args) {
    ConsoleArguments result;
    using Action = ConsoleArguments::Action;
    std::vector<std::string> words; // the switch words before --output
    bool directForm = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "--version") {
            result.action = arg == "--help" ? Action::Help : Action::Version;
            return result;
        }
        if (arg == "--output") {
            if (i + 1 >= args.size()) {
                result.problem = "--output needs a file name";
                return result;
            }
            directForm = true;
            result.outputPath = args[i + 1];
            result.folders.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 2, args.end());
            break;
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
    if (directForm && !result.folders.empty())
        result.action = Action::ListFolders;
    else if (!directForm && result.commandLine.m_bUnattended)
        result.action = Action::ListSelection;
    return result;
}

} // namespace quillary
