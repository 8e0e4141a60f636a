#include "support/environment.h"

#include <cstdlib>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

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
bool RunningUnderWine() {
    // Wine's ntdll exports its own version function; Windows' does not.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#else
bool RunningUnderWine() {
    return false;
}
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
