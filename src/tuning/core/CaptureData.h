#pragma once

#include "TuningSession.h"

#include <QString>
#include <QVariant>

namespace Orvex {

// What a capture answers and how its samples are laid out in time.
namespace CaptureData {

enum class Problem
{
    None,
    InvalidType, // not an array of the tuner's element type
    NullArray,   // no array at all
};
// "Invalid VARIANT type", "NULL array pointer"; empty for None.
QString MessageOf(Problem problem);

// Unpacks a capture's samples, commanded and actual in alternation, into the
// traces: element 2k is commanded[k], element 2k+1 actual[k]. At most
// TraceLength pairs are taken; entries the samples do not reach keep their
// values. The current and velocity tuners take QList<float>, the position
// tuner QList<qint32>; anything else changes nothing.
Problem Unpack(const QVariant& samples, std::array<float, TraceLength>& commanded,
               std::array<float, TraceLength>& actual);
Problem Unpack(const QVariant& samples, std::array<qint32, TraceLength>& commanded,
               std::array<qint32, TraceLength>& actual);

// The position tuner's move, drawn rising from 0 whatever its direction: a
// CCW move is negated, the actual trace is taken relative to its first
// sample, and anything below 0 is drawn at 0.
void RiseFromZero(std::array<qint32, TraceLength>& commanded,
                  std::array<qint32, TraceLength>& actual, bool ccw);

// Sample times in milliseconds.
inline constexpr double CurrentSampleMs = 0.0625; // 16 kHz
inline constexpr double PositionSampleMs = 0.25;
inline constexpr double PositionStartMs = -16.0;
// The velocity test is sampled every d x 0.0625 ms with d = 48 / frequency in
// whole numbers: 0 for a frequency above 48, and 0 for none (0 or less).
int VelocityDivider(int frequency);

} // namespace CaptureData

} // namespace Orvex
