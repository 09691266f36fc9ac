// Runs on Windows (or under Wine) without Qt or GoogleTest: the cross
// compiler has neither.

#include "core/win32/DetachedStart.h"

#include "Check.h"
#include <string>

using ovlix::win32::startMinimisedWithoutFocus;

int main()
{
    ovlix::win32::test::Checks check;
    const auto started = startMinimisedWithoutFocus(L"cmd.exe /c exit 0");
    check(started.started && started.errorCode == 0, "a real program starts");

    const auto missing = startMinimisedWithoutFocus(L"ovlix-no-such-program -d 192.168.1.250");
    check(!missing.started, "a missing program does not start");
    check(missing.errorCode == 2, "a missing program reports file not found (2)");
    check(!missing.description.empty(), "the failure has a description");

    const auto empty = startMinimisedWithoutFocus(L"");
    check(!empty.started, "an empty command line starts nothing");

    return check.summary();
}
