// Windows only: system error codes as the error numbers (errno values) the rest of the program
// reports, so that the core decides and speaks about errors the same way on every system.
#pragma once

namespace quillary {

// The errno value for a Win32 error code (GetLastError()): ENOENT for a missing file or path, EACCES
// for a denied access or sharing violation, and so on; EIO for codes without a closer match.
int ErrnoFromWin32(unsigned long error);

// ErrnoFromWin32(GetLastError()).
int LastErrno();

} // namespace quillary
