// The program's command line: "/o CONFIG" loads a configuration after the settings file, "/l SELECTION
// OUTPUT" writes one listing unattended. Switches start with "-", or with "/" when they are one letter
// long (so that absolute paths are never taken for switches), and ignore case.
#pragma once

#include <string>
#include <vector>

namespace quillary {

class CommandLineInfo {
public:
    // One word of the command line, in order. `isSwitch` is set for a word that started with "/" or
    // "-"; `param` is then the word without that character.
    void ParseParam(const std::string& param, bool isSwitch);

    // Splits the words of argv (without the program name) and parses each.
    static CommandLineInfo Parse(const std::vector<std::string>& words);

    // What a switch lacks ("/l needs a selection file and an output file"), or "" when every switch
    // that was given has its files.
    std::string MissingParameter() const;

    bool m_bLoadConfiguration = false;
    bool m_bUnattended = false;
    std::string m_strConfigurationFile;
    std::string m_strSelectionFile;
    std::string m_strOutputFile;

private:
    enum class State { None, ExpectConfiguration = 100, ExpectSelectionThenOutput = 101 };
    State m_state = State::None;
};

} // namespace quillary
