#pragma once
// Runs the event loop until a condition holds, for what timers and posted events bring about.

#include <QElapsedTimer>
#include <QTest>

// True once `done` holds; false when `ms` milliseconds passed first.
template <class F>
bool WaitFor(F done, int ms = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QTest::qWait(5);
    return done();
}
