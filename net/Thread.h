// The base of an object that owns one background thread: the derived class supplies the body
// (Run); the base starts it, offers a stop request with an optional wait, and checks at
// destruction that the derived class has stopped it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "Handles.h"

class Thread {
public:
    Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts the body on a new thread unless one is attached and still running. A thread whose
    // body has returned is reaped first, so a later Start runs the body afresh.
    void Start();

    // Signals the stop event; with wait, returns only once the body has returned.
    virtual void Stop(bool wait);
    // The thread's body; it may watch stopEvent to end early.
    virtual void Run() = 0;

    UniqueHandle thread;     // the attached thread, or none; closed by the owner only
    uint32_t threadId = 0;   // as the creation call reported it; informative
    UniqueHandle stopEvent;  // manual-reset, unsignalled until Stop, reset by Start

protected:
    // Derived destructors call Stop(true) first; a body still running here is reported.
    ~Thread();

private:
    static unsigned __stdcall Entry(void* object);
    // True while the attached thread has not ended. A failed query counts as ended.
    bool IsRunning() const;
    // Waits up to one polling interval for the thread to end.
    void WaitOneInterval() const;
};
