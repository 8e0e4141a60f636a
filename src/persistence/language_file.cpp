#include "persistence/language_file.h"

namespace quillary {

namespace {

constexpr const char* kCaptionKey = "Caption";
constexpr const char* kHintKey = "Hint";

constexpr int kLanguageNeutralIds[] = {
    kIdPageSample,  kIdSizePrecision, kIdDecimalSeparator, kIdProductName,
    kIdVersionLine, kIdRightsLine,    kIdHomePageLink,
};

std::string Caption(const ProfileFile& language, int section) {
    return language.Get(std::to_string(section), kCaptionKey);
}

// The caption's items laid over a list of `count` entries.
std::vector<std::string> ItemsForCount(std::string_view caption, std::size_t count, std::size_t maxBytes) {
    std::vector<std::string> items = SplitCaptionList(caption);
    items.resize(count);
    for (std::string& item : items) {
        if (item.size() > maxBytes) {
            std::size_t end = maxBytes;
            while (end > 0 && (static_cast<unsigned char>(item[end]) & 0xC0) == 0x80)
                --end;
            item.resize(end);
        }
    }
    return items;
}

void ApplyToControl(const ProfileFile& language, ControlSurface& surface, const ControlRef& control) {
    const std::string section = std::to_string(control.id);
    const std::string caption = language.Get(section, kCaptionKey);
    if (surface.HasHint(control.id))
        surface.SetHint(control.id, language.Get(section, kHintKey));

    switch (control.kind) {
    case ControlKind::ComboBox:
    case ControlKind::TabControl: {
        const int selection = surface.Selection(control.id);
        const std::size_t maxBytes =
            control.kind == ControlKind::TabControl ? kMaxTabLabelBytes : std::string::npos;
        surface.SetItems(control.id, ItemsForCount(caption, surface.Items(control.id).size(), maxBytes));
        surface.SetSelection(control.id, selection);
        break;
    }
    case ControlKind::Edit:
        break; // an edit holds the user's text, not a caption
    default:
        surface.SetText(control.id, caption);
        break;
    }
}

} // namespace

bool IsLanguageNeutral(const ControlRef& control) {
    switch (control.kind) {
    case ControlKind::Tree:
    case ControlKind::UpDown:
    case ControlKind::RichEdit:
    case ControlKind::HtmlView:
        return true;
    default:
        break;
    }
    for (int id : kLanguageNeutralIds) {
        if (control.id == id)
            return true;
    }
    return false;
}

std::vector<std::string> SplitCaptionList(std::string_view caption) {
    std::vector<std::string> items;
    do {
        const std::size_t bar = caption.find('|');
        items.emplace_back(caption.substr(0, bar));
        caption = bar == std::string_view::npos ? std::string_view() : caption.substr(bar + 1);
    } while (!caption.empty());
    return items;
}

void ApplyLanguage(const ProfileFile& language, ControlSurface& surface, MessageTable& messages) {
    for (const ControlRef& control : surface.Controls()) {
        if (!IsLanguageNeutral(control))
            ApplyToControl(language, surface, control);
    }
    for (int id = 0; id < kMessageCount; ++id)
        messages.Set(id, language.Get(kMessagesSection, std::to_string(id)));
    messages.ApplyProductName();
}

bool ApplyLanguageFile(const std::string& path, ControlSurface& surface, MessageTable& messages) {
    ProfileFile language;
    if (!language.Load(path))
        return false;
    ApplyLanguage(language, surface, messages);
    return true;
}

MenuCaptions BuiltInMenuCaptions() {
    MenuCaptions captions;
    const std::span<const MenuDef> menus = MainMenu();
    // The stored menus fill the bar around the "Language" popup.
    for (std::size_t stored = 0, position = 0; position < captions.titles.size(); ++position) {
        if (static_cast<int>(position) == kLanguageMenuPosition)
            captions.titles[position] = kLanguageMenuTitle;
        else if (stored < menus.size())
            captions.titles[position] = menus[stored++].title;
    }
    captions.quickConfigTitle = kQuickConfigMenuTitle;
    for (const MenuDef& menu : menus) {
        for (const MenuItemDef& item : menu.items) {
            if (item.id != kMenuSeparator)
                captions.items[item.id] = item.text;
        }
    }
    return captions;
}

MenuCaptions ReadMenuCaptions(const ProfileFile& language) {
    MenuCaptions captions;
    for (std::size_t position = 0; position < captions.titles.size(); ++position)
        captions.titles[position] = Caption(language, kMenuTitleSectionBase + static_cast<int>(position));
    captions.quickConfigTitle = Caption(language, kQuickConfigSection);
    for (const MenuDef& menu : MainMenu()) {
        for (const MenuItemDef& item : menu.items) {
            if (item.id != kMenuSeparator)
                captions.items[item.id] = Caption(language, item.id);
        }
    }
    return captions;
}

} // namespace quillary
