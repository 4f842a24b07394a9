#pragma once

#include <functional>

// Lets pending window events run and reports how many of the program's
// windows are still open (0 once the main window has been closed).
class EventYield {
public:
    static int DoEvents();
    // Lets pending events run, first waiting for one if none is pending (a
    // picture decoded elsewhere posts one); the same count. The test hook is
    // not called: it marks the one yield of each step of a procedure.
    static int WaitForEvents();

    // Called at the start of every yield; lets a test act at a chosen moment
    // of a running procedure, as a user's click would.
    static void setHook(std::function<void()> hook);

private:
    static int openWindows();
    static std::function<void()>& hook();
};
