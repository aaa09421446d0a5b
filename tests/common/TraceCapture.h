#pragma once

#include <QStringList>

namespace OrvexTest {

// Collects the trace lines written while it exists.
class TraceCapture
{
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    QStringList Lines() const;
};

} // namespace OrvexTest
