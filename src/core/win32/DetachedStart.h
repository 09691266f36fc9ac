#pragma once

// Windows only, and free of Qt so that it builds and is tested with a plain
// cross compiler.

#include <string>

namespace ovlix::win32 {

struct DetachedStartResult {
    bool started = false;
    unsigned long errorCode = 0;
    std::wstring description;
};

// Hands the command line unchanged to CreateProcess: its first word names the
// program and no command interpreter parses the rest. The new program's
// window is minimised and not activated, so the caller's window keeps the
// focus. Returns as soon as the process exists.
DetachedStartResult startMinimisedWithoutFocus(const std::wstring& commandLine);

} // namespace ovlix::win32
