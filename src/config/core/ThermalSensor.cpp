#include "ThermalSensor.h"

namespace Orvex {

namespace {

// Index 1 stays 1; anything else, a list with nothing picked included, is
// the first entry.
int SecondOrFirst(int index)
{
    return index == 1 ? 1 : 0;
}

} // namespace

int ThermalSensorCode(int type, int construction)
{
    return SecondOrFirst(type) + 2 * SecondOrFirst(construction);
}

ThermalSensor::Choice ThermalSensorOfCode(int code)
{
    if (code < 0 || code > 3)
        return {};
    return {code % 2, code / 2};
}

} // namespace Orvex
