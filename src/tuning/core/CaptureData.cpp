#include "CaptureData.h"

#include <algorithm>

namespace Orvex::CaptureData {

namespace {

template <class Sample>
Problem UnpackList(const QVariant& samples, std::array<Sample, TraceLength>& commanded,
                   std::array<Sample, TraceLength>& actual)
{
    if (!samples.isValid())
        return Problem::NullArray;
    if (samples.metaType() != QMetaType::fromType<QList<Sample>>())
        return Problem::InvalidType;
    const auto list = samples.value<QList<Sample>>();
    const qsizetype count = std::min<qsizetype>(list.size(), 2 * TraceLength);
    for (qsizetype i = 0; i < count; ++i) {
        auto& trace = i % 2 == 0 ? commanded : actual;
        trace[static_cast<std::size_t>(i / 2)] = list[i];
    }
    return Problem::None;
}

} // namespace

QString MessageOf(Problem problem)
{
    switch (problem) {
    case Problem::InvalidType:
        return QStringLiteral("Invalid VARIANT type");
    case Problem::NullArray:
        return QStringLiteral("NULL array pointer");
    case Problem::None:
        break;
    }
    return QString();
}

Problem Unpack(const QVariant& samples, std::array<float, TraceLength>& commanded,
               std::array<float, TraceLength>& actual)
{
    return UnpackList(samples, commanded, actual);
}

Problem Unpack(const QVariant& samples, std::array<qint32, TraceLength>& commanded,
               std::array<qint32, TraceLength>& actual)
{
    return UnpackList(samples, commanded, actual);
}

void RiseFromZero(std::array<qint32, TraceLength>& commanded,
                  std::array<qint32, TraceLength>& actual, bool ccw)
{
    if (ccw) {
        // Wrapping negation: the drive never reports the most negative count.
        for (auto* trace : {&commanded, &actual}) {
            for (qint32& sample : *trace)
                sample = static_cast<qint32>(0u - static_cast<quint32>(sample));
        }
    }
    const qint64 start = actual[0];
    for (std::size_t j = 0; j < TraceLength; ++j) {
        const qint64 relative = qint64(actual[j]) - start;
        actual[j] = static_cast<qint32>(std::clamp<qint64>(relative, 0, INT32_MAX));
        commanded[j] = std::max(commanded[j], 0);
    }
}

int VelocityDivider(int frequency)
{
    return frequency > 0 ? 48 / frequency : 0;
}

} // namespace Orvex::CaptureData
