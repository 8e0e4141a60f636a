// Whether this process can show windows at all.
#pragma once

namespace quillary {

#ifdef _WIN32
// Windows: true when a window can be made. Under Wine without an X display (or on a session without a
// desktop) window creation fails, and a program that carried on would crash on its first window.
// (On Linux the toolkit itself refuses to start without a display.)
bool CanOpenWindows();
#endif

} // namespace quillary
