// Waiting in GUI tests: run the toolkit's loop (so the doorbell, timers and
// idle handlers all work as in the program) until a condition holds or the
// time is up. Shared by the framework, app and side panel test programs.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>

// Runs the loop until `done` returns true; false when `limit` passed first.
inline bool PumpUntil(
    const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(2);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(static_cast<int>(limit.count()));
    loop.exec();
    return done();
}

// Runs a nested loop for a while, as a modal box's loop would.
inline void RunNestedLoopFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(duration.count()), &loop, &QEventLoop::quit);
    loop.exec();
}

// Closing the main window asks the toolkit to quit; outside the program's
// main loop that request stays and makes every later nested loop return at
// once. Running the main loop for one turn takes it away.
inline void ClearQuitRequest()
{
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// Lets the toolkit deliver what is already due, without waiting.
inline void ProcessToolkitEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
