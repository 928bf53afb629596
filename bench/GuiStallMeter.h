// The longest time the GUI thread's loop was busy elsewhere: the longest gap
// between two ticks of a 1 ms timer while the meter runs.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

class GuiStallMeter {
public:
    GuiStallMeter()
    {
        m_ticks.setTimerType(Qt::PreciseTimer);
        m_ticks.setInterval(1);
        QObject::connect(&m_ticks, &QTimer::timeout,
            [this] { m_longestGapMs = std::max(m_longestGapMs, m_sinceTick.restart()); });
    }

    void Start()
    {
        m_sinceTick.start();
        m_ticks.start();
    }
    void Stop() { m_ticks.stop(); }
    long long LongestGapMs() const { return m_longestGapMs; }

private:
    QElapsedTimer m_sinceTick;
    qint64 m_longestGapMs = 0;
    QTimer m_ticks;
};
