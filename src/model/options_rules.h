// The rules of the two option pages: which controls are enabled, how a column width typed into an edit
// becomes a number, and how the listing options are read from the controls. A check box counts for the
// listing only when it is checked and enabled, so the enabling rules decide the listing as much as the
// check marks do.
#pragma once

#include <optional>
#include <string_view>

#include "listing/html_style.h"
#include "listing/listing_options.h"
#include "model/control_surface.h"
#include "res/controls.h"

namespace quillary {

// "Options 1": enables and disables its controls from the current check marks and the size display
// and size precision selections. Run at start, after loading settings and after every click on a
// check box or selection change of a list.
void RefreshOptions1Enabling(ControlSurface& surface);

// "Options 2": the output type chosen by its radio buttons (nullopt when none is checked), and the rule
// that enables the HTML options only for HTML and the CSV options only for CSV.
std::optional<OutputType> SelectedOutputType(const ControlSurface& surface);
void RefreshOutputTypeEnabling(ControlSurface& surface);

// Both of the above.
void RefreshEnabling(ControlSurface& surface);

// The width a column-width edit stands for: the text's number clamped into the range (an empty text
// counts as 0), or the range's initial value when the text has more characters than the range's upper
// bound has digits or holds anything but digits.
int ValidatedWidth(std::string_view text, const SpinRange& range);
// Writes the validated number back into each of the five width edits, as the page does when it stores
// its values.
void ValidateWidths(ControlSurface& surface);

// The HTML style held by the quick-preview controls, and the reverse.
HtmlStyle HtmlStyleFromSamples(const ControlSurface& surface);
void SetSamplesFromHtmlStyle(ControlSurface& surface, const HtmlStyle& style);

// The listing options as the controls give them: a check box option is on when its box is checked and
// enabled; widths are the validated edit texts; list options are the selected indices (-1 for none);
// with no output type checked the listing is text;
// "Listing in each dir" needs a listing name as well.
ListingOptions ReadOptions(const ControlSurface& surface);

} // namespace quillary
