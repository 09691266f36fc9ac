#pragma once

// A few lines of checking for the Windows tests, which are built by a plain
// cross compiler without GoogleTest; the summary is the plain "N passed, N
// failed" line that test runners read.

#include <cstdio>

namespace ovlix::win32::test {

class Checks {
public:
    void operator()(bool condition, const char* what)
    {
        std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
        (condition ? passed_ : failed_)++;
    }

    int summary() const
    {
        std::printf("%d passed, %d failed\n", passed_, failed_);
        return failed_ == 0 ? 0 : 1;
    }

private:
    int passed_ = 0;
    int failed_ = 0;
};

} // namespace ovlix::win32::test
