// Feeds arbitrary bytes to the INI reader as a settings file: reading and applying it must be safe, and
// a value written into the file must read back as written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/form_state.h"
#include "model/options_rules.h"
#include "persistence/profile_file.h"
#include "persistence/settings_file.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillary;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    ProfileFile profile;
    profile.Parse(bytes);
    FormState form;
    ApplySettings(profile, form);
    const ListingOptions options = ReadOptions(form);
    if (options.m_strCsvSeparator.size() > 4)
        std::abort(); // the separator edit holds one character

    // The input's first bytes as a value: it must survive a write and a fresh read.
    const std::string value(bytes.substr(0, std::min<std::size_t>(size, 48)));
    if (!IsValidUtf8(value))
        return 0;
    profile.Set("Settings", "1064", value);
    ProfileFile reread;
    reread.Parse(profile.Text());
    if (reread.Get("settings", "1064") != value.substr(0, value.find_first_of("\r\n")))
        std::abort();
    return 0;
}
