#include "persistence/settings_file.h"

#include <climits>
#include <vector>

#include "model/options_rules.h"
#include "platform/program_files.h"
#include "platform/utf8.h"

namespace quillary {

namespace {

constexpr std::size_t kFontFields = 16; // two colours, thirteen font numbers, the face name
constexpr std::size_t kMaxFaceNameBytes = 31;
constexpr ColorRef kColorMask = 0xFFFFFF;

const ControlRef* FindRef(const std::vector<ControlRef>& refs, int id) {
    for (const ControlRef& ref : refs) {
        if (ref.id == id)
            return &ref;
    }
    return nullptr;
}

// Splits at "|" into at most maxParts parts; the last part keeps any further "|".
std::vector<std::string_view> SplitFields(std::string_view text, std::size_t maxParts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < maxParts) {
        const std::size_t bar = text.find('|');
        if (bar == std::string_view::npos)
            break;
        parts.push_back(text.substr(0, bar));
        text.remove_prefix(bar + 1);
    }
    parts.push_back(text);
    return parts;
}

std::string EncodeSample(const SampleStyle& sample) {
    const FontSpec& f = sample.font;
    std::string text = std::to_string(static_cast<int>(sample.background)) + "|" +
                       std::to_string(static_cast<int>(sample.text));
    for (const int number : {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight})
        text.append("|").append(std::to_string(number));
    for (const unsigned number : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                                  f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
        text.append("|").append(std::to_string(number));
    return text + "|" + f.lfFaceName;
}

// Fields that the value does not hold keep the sample's current values.
SampleStyle DecodeSample(std::string_view value, SampleStyle sample, int pixelsPerInch) {
    const std::vector<std::string_view> fields = SplitFields(value, kFontFields);
    const auto number = [&fields](std::size_t index, auto& target) {
        using Target = std::remove_reference_t<decltype(target)>;
        if (index < fields.size())
            target = static_cast<Target>(ParseLeadingInt(fields[index]));
    };
    FontSpec& f = sample.font;
    number(0, sample.background);
    number(1, sample.text);
    sample.background &= kColorMask;
    sample.text &= kColorMask;
    number(2, f.lfHeight);
    number(3, f.lfWidth);
    number(4, f.lfEscapement);
    number(5, f.lfOrientation);
    number(6, f.lfWeight);
    number(7, f.lfItalic);
    number(8, f.lfUnderline);
    number(9, f.lfStrikeOut);
    number(10, f.lfCharSet);
    number(11, f.lfOutPrecision);
    number(12, f.lfClipPrecision);
    number(13, f.lfQuality);
    number(14, f.lfPitchAndFamily);
    if (fields.size() == kFontFields)
        f.lfFaceName = Utf8CutToBytes(fields[15], kMaxFaceNameBytes);
    f.pointSize = PointSizeFromHeight(f.lfHeight, pixelsPerInch);
    return sample;
}

std::optional<std::string> Encode(const ControlSurface& surface, const ControlRef& ref) {
    switch (ref.kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return std::to_string(surface.CheckState(ref.id));
    case ControlKind::Edit:
        return surface.Text(ref.id);
    case ControlKind::ComboBox:
        return std::to_string(surface.Selection(ref.id));
    case ControlKind::ColorStatic:
        return std::to_string(static_cast<int>(surface.Sample(ref.id).background));
    case ControlKind::FontStatic:
        return EncodeSample(surface.Sample(ref.id));
    default:
        return std::nullopt;
    }
}

bool Apply(ControlSurface& surface, const ControlRef& ref, std::string_view value) {
    if (value.empty() || !IsSavedKind(ref.kind))
        return false;
    switch (ref.kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        surface.SetCheckState(ref.id, ParseLeadingInt(value));
        break;
    case ControlKind::Edit: {
        // A loaded text obeys the edit's length limit as typed text does.
        const ControlDef* def = FindControl(ref.id);
        const std::size_t limit = def != nullptr ? static_cast<std::size_t>(def->maxLength) : 0;
        surface.SetText(ref.id, limit > 0 ? Utf8Prefix(value, limit) : value);
        break;
    }
    case ControlKind::ComboBox:
        surface.SetSelection(ref.id, ParseLeadingInt(value));
        break;
    case ControlKind::ColorStatic: {
        SampleStyle sample = surface.Sample(ref.id);
        sample.background = static_cast<ColorRef>(ParseLeadingInt(value)) & kColorMask;
        surface.SetSample(ref.id, sample);
        break;
    }
    case ControlKind::FontStatic:
        surface.SetSample(ref.id, DecodeSample(value, surface.Sample(ref.id), surface.PixelsPerInch()));
        break;
    default:
        return false;
    }
    return true;
}

// A language is named by a file title; anything with a path in it could reach outside the program's
// directory and is not taken.
bool IsPlainTitle(std::string_view name) {
    return name.find_first_of("/\\") == std::string_view::npos && name != "." && name != "..";
}

} // namespace

int ParseLeadingInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturate; keeps the loop from overflowing
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool SaveSettings(const ControlSurface& surface, const std::string& path, std::string_view window,
                  std::string_view languageFile) {
    ProfileFile profile;
    if (!profile.Load(path) && FileExists(path))
        return false;
    for (const ControlRef& ref : surface.Controls()) {
        if (const std::optional<std::string> value = Encode(surface, ref))
            profile.Set(kSettingsSection, std::to_string(ref.id), *value);
    }
    if (!window.empty())
        profile.Set(kSettingsSection, "Window", window);
    const std::string title = LanguageTitle(languageFile);
    if (!title.empty())
        profile.Set(kSettingsSection, "Language", title);
    return profile.Save(path);
}

LoadedSettings LoadSettings(ControlSurface& surface, const std::string& path) {
    ProfileFile profile;
    const bool read = profile.Load(path);
    LoadedSettings loaded = ApplySettings(profile, surface);
    loaded.fileRead = read;
    return loaded;
}

LoadedSettings ApplySettings(const ProfileFile& profile, ControlSurface& surface) {
    for (const ControlRef& ref : surface.Controls()) {
        if (IsSavedKind(ref.kind))
            Apply(surface, ref, profile.Get(kSettingsSection, std::to_string(ref.id)));
    }
    LoadedSettings loaded;
    loaded.fileRead = true;
    loaded.window = profile.Get(kSettingsSection, "Window");
    loaded.language = profile.Get(kSettingsSection, "Language");
    if (!IsPlainTitle(loaded.language))
        loaded.language.clear();
    RefreshEnabling(surface);
    return loaded;
}

std::optional<std::string> ControlValue(const ControlSurface& surface, int id) {
    const std::vector<ControlRef> refs = surface.Controls();
    const ControlRef* ref = FindRef(refs, id);
    return ref != nullptr ? Encode(surface, *ref) : std::nullopt;
}

bool SetControlValue(ControlSurface& surface, int id, std::string_view value) {
    const std::vector<ControlRef> refs = surface.Controls();
    const ControlRef* ref = FindRef(refs, id);
    return ref != nullptr && Apply(surface, *ref, value);
}

WindowPlacement ParseWindowPlacement(std::string_view text) {
    WindowPlacement placement{};
    const std::vector<std::string_view> fields = SplitFields(text, placement.size() + 1);
    for (std::size_t i = 0; i < placement.size() && i < fields.size(); ++i)
        placement[i] = ParseLeadingInt(fields[i]);
    return placement;
}

std::string FormatWindowPlacement(const WindowPlacement& placement) {
    std::string text;
    for (std::size_t i = 0; i < placement.size(); ++i)
        text.append(i == 0 ? "" : "|").append(std::to_string(placement[i]));
    return text;
}

std::string LanguageTitle(std::string_view languageFile) {
    const std::size_t slash = languageFile.find_last_of("/\\");
    if (slash != std::string_view::npos)
        languageFile.remove_prefix(slash + 1);
    return std::string(languageFile.substr(0, languageFile.rfind('.')));
}

} // namespace quillary
