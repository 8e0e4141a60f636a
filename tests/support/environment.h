// Setting and removing environment variables of the test process, on both systems.
#pragma once

#include <string>

namespace quillary::test {

void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

// True when the tests run under Wine (which lacks some of what Windows has, such as an HTML engine).
bool RunningUnderWine();

} // namespace quillary::test
