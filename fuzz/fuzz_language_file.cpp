// Feeds arbitrary bytes to the language reader: applying the file must be safe and must never change
// how many items a list has or which one is selected, since those are option values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/form_state.h"
#include "persistence/language_file.h"
#include "persistence/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillary;
    quillary::ProfileFile language;
    language.Parse(std::string_view(reinterpret_cast<const char*>(data), size));

    FormState form;
    const FormState before;
    MessageTable messages;
    ApplyLanguage(language, form, messages);
    for (const ControlRef& ref : form.Controls()) {
        if (form.Items(ref.id).size() != before.Items(ref.id).size() ||
            form.Selection(ref.id) != before.Selection(ref.id) ||
            ControlValue(form, ref.id) != ControlValue(before, ref.id))
            std::abort();
    }
    const MenuCaptions menus = ReadMenuCaptions(language);
    if (menus.items.size() != BuiltInMenuCaptions().items.size())
        std::abort();
    return 0;
}
