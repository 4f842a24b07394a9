#pragma once

#include <functional>

// Lets pending window events run and reports how many of the program's
// windows are still open (0 once the main window has been closed).
class EventYield {
public:
    static int DoEvents();

    // Called at the start of every yield; lets a test act at a chosen moment
    // of a running procedure, as a user's click would.
    static void setHook(std::function<void()> hook);

private:
    static std::function<void()>& hook();
};
