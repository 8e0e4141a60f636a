#include "app/command_line.h"

namespace quillary {

namespace {

bool IsSwitchNamed(const std::string& param, char name) {
    return param.size() == 1 && (param[0] == name || param[0] == name - 'a' + 'A');
}

} // namespace

void CommandLineInfo::ParseParam(const std::string& param, bool isSwitch) {
    if (isSwitch) {
        if (IsSwitchNamed(param, 'l')) {
            m_bUnattended = true;
            m_state = State::ExpectSelectionThenOutput;
        } else if (IsSwitchNamed(param, 'o')) {
            m_bLoadConfiguration = true;
            m_state = State::ExpectConfiguration;
        }
        // Any other switch is ignored and keeps the state.
        return;
    }
    switch (m_state) {
    case State::ExpectSelectionThenOutput:
        if (m_strSelectionFile.empty()) {
            m_strSelectionFile = param;
            if (param.find('.') == std::string::npos)
                m_strSelectionFile += ".qls";
        } else {
            m_strOutputFile = param; // a later parameter replaces an earlier one
        }
        break;
    case State::ExpectConfiguration:
        m_strConfigurationFile = param;
        if (param.find('.') == std::string::npos)
            m_strConfigurationFile += ".qlc";
        break;
    case State::None:
        break; // stray parameters before the first switch are ignored
    }
}

std::string CommandLineInfo::MissingParameter() const {
    if (m_bLoadConfiguration && m_strConfigurationFile.empty())
        return "/o needs a configuration file";
    if (m_bUnattended && (m_strSelectionFile.empty() || m_strOutputFile.empty()))
        return "/l needs a selection file and an output file";
    return {};
}

CommandLineInfo CommandLineInfo::Parse(const std::vector<std::string>& words) {
    CommandLineInfo info;
    for (const std::string& word : words) {
        // "/" also starts every absolute path here, so only "/" and one letter is a switch ("/l", "/O");
        // "-" starts a switch of any length.
        const bool isSwitch = (word.size() > 1 && word[0] == '-') || (word.size() == 2 && word[0] == '/');
        info.ParseParam(isSwitch ? word.substr(1) : word, isSwitch);
    }
    return info;
}

} // namespace quillary
