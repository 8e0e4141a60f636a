// Texts made in parallel and written in order: the listing's rows are cut into windows (runs of
// consecutive folders), which helper threads and the calling thread format while the calling thread
// writes the finished ones strictly in window order. The output is the same as one thread formatting
// window after window; only a bounded number of windows wait in memory.
//
// Threading: FormatWindowsInOrder is called on the run thread and returns when every window is written.
// `format` runs on the helpers and on the calling thread, each call with its own `formatter` number
// (0 .. helpers; the calling thread is `helpers`), so a formatter's state is never shared; `write` runs
// on the calling thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quillary {

// Appends the text of window `window` to `text` (which is empty) with formatter `formatter`.
using FormatWindow = std::function<void(unsigned formatter, std::size_t window, std::string& text)>;
// Writes the text of the next window; the text may be left changed.
using WriteWindow = std::function<void(std::string& text)>;

// Formats windows 0 .. count - 1 on `helpers` new threads and on the calling thread, and writes each with
// `write` in window order. At most `ahead` windows (at least one) are formatted or being formatted
// beyond the next one to write. When the system starts fewer threads, or none, the calling thread does
// what is left. An exception from `format` on any thread stops the work and is thrown again here, once
// every helper has stopped.
void FormatWindowsInOrder(std::size_t count, unsigned helpers, std::size_t ahead, const FormatWindow& format,
                          const WriteWindow& write);

} // namespace quillary
