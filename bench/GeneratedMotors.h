#pragma once

#include <QString>

#include <vector>

// A motor database of 10,000 motors written for the benchmarks: four
// standard series (8 frames x 4 stacks x 4 windings x 4 feedbacks x 2
// cooling methods) and custom windings of series CM dealt round its 128
// part numbers, with data that passes the wizard's motor checks.
namespace OrvexBench {

inline constexpr int GeneratedMotorCount = 10000;

// The codes of one generated motor, as the wizard's cascade asks for it.
struct MotorQuery
{
    QString Series, Frame, Stack, Winding, Feedback, Part, CustomWinding, Cooling;
};

struct GeneratedMotors
{
    QString MotorPath;
    QString CrossReferencePath;
    std::vector<MotorQuery> Standard; // one per standard motor
    std::vector<MotorQuery> Custom;   // one per custom winding motor
};

// Writes "OrvexMotorDatabase.xml" and "WindNum CustomNum CrossRef.xml" into
// folder; aborts the benchmark when they cannot be written.
GeneratedMotors WriteGeneratedMotors(const QString& folder);

} // namespace OrvexBench
