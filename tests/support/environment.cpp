#include "support/environment.h"

#include <cstdlib>
#include <ctime>

namespace quillary::test {

#ifdef _WIN32
void SetEnvironment(const std::string& name, const std::string& value) {
    _putenv_s(name.c_str(), value.c_str());
    _tzset();
}
void UnsetEnvironment(const std::string& name) {
    _putenv_s(name.c_str(), ""); // an empty value removes the variable
    _tzset();
}
#else
void SetEnvironment(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
    tzset();
}
void UnsetEnvironment(const std::string& name) {
    unsetenv(name.c_str());
    tzset();
}
#endif

} // namespace quillary::test
