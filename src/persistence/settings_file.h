// Settings and configuration files: one INI format for both. Section "Settings" holds the value of
// every saved control under its decimal id, the window placement under "Window" and the language under
// "Language".
//
// Values by control kind: check boxes and radio buttons their check state ("0", "1"); edits their text;
// combo boxes the selected index ("-1" for none); the quick-preview frame 1082 the page background as
// a decimal 0x00BBGGRR colour; the quick-preview rows 1076 to 1079 background, text colour and font as
// "bg|text|height|width|escapement|orientation|weight|italic|underline|strikeout|charset|
// outprecision|clipprecision|quality|pitchandfamily|face".
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/control_surface.h"
#include "persistence/profile_file.h"

namespace quillary {

inline constexpr const char* kSettingsSection = "Settings";

// Writes every saved control, then "Window" (when not empty) and "Language" (the title of the language
// file: its name without directory and extension; when not empty) into the file, keeping whatever else
// it holds. False when the file cannot be written, or exists but cannot be read (it is then left as
// it is).
bool SaveSettings(const ControlSurface& surface, const std::string& path, std::string_view window,
                  std::string_view languageFile);

struct LoadedSettings {
    bool fileRead = false; // false: missing or unreadable; no control was changed
    std::string window;    // "Window" as stored, "" when absent
    std::string language;  // "Language" as stored, "" when absent or not a plain file title
};

// Applies every non-empty value to its control, then refreshes the enabling rules of both option pages.
// Window placement and language are returned for the caller to apply.
LoadedSettings LoadSettings(ControlSurface& surface, const std::string& path);
// The same from a profile already read.
LoadedSettings ApplySettings(const ProfileFile& profile, ControlSurface& surface);

// One control's value as the file stores it; nullopt when the surface has no such control or its kind
// is not saved.
std::optional<std::string> ControlValue(const ControlSurface& surface, int id);
// Applies one value as loading does (without the enabling refresh). False for an unknown control, a kind
// that is not saved, or an empty value (which leaves the control as it is).
bool SetControlValue(ControlSurface& surface, int id, std::string_view value);

// A number as C's atoi reads it: blanks, a sign and the leading digits; 0 when there are none. Values
// beyond the int range are clamped.
int ParseLeadingInt(std::string_view text);

// "Window": nine numbers separated by "|" (show state, minimised x, y, maximised x, y, normal left,
// top, right, bottom); missing numbers read as 0.
using WindowPlacement = std::array<int, 9>;
WindowPlacement ParseWindowPlacement(std::string_view text);
std::string FormatWindowPlacement(const WindowPlacement& placement);

// The title of a language file path: without directory and extension.
std::string LanguageTitle(std::string_view languageFile);

} // namespace quillary
