#include "GeneratedMotors.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace OrvexBench {

namespace {

constexpr int Frames = 8;
constexpr int Stacks = 4;
constexpr int Windings = 4;
constexpr int Feedbacks = 4;
const char* const StandardSeries[] = {"BE", "K", "Vantor", "HX"};
const char* const FeedbackCodes[] = {"E", "R", "6D", "3E"};
const char* const Coolings[] = {"HS", "NHS"};

QString PartNumber(const QString& s, const QString& f, const QString& k, const QString& w,
                   const QString& b)
{
    if (s == QLatin1String("K")) {
        return s + f + k + QLatin1Char('-') + w + b;
    }
    if (s == QLatin1String("Vantor")) {
        return f + QLatin1Char('-') + k + w + b;
    }
    return s + f + k + w + b;
}

QByteArray MotorElement(const MotorQuery& q, int n)
{
    QByteArray xml = "  <Motor PartNumber=\"" + q.Part.toLatin1() + "\" Series=\"" +
                     q.Series.toLatin1() + "\" Frame=\"" + q.Frame.toLatin1() + "\" Stack=\"" +
                     q.Stack.toLatin1() + "\" Winding=\"" + q.Winding.toLatin1() +
                     "\" Feedback=\"" + q.Feedback.toLatin1() + "\" CoolingKey=\"" +
                     q.Cooling.toLatin1() + "\" Package=\"Rotary\"";
    if (!q.CustomWinding.isEmpty()) {
        xml += " CustomWinding=\"" + q.CustomWinding.toLatin1() + "\"";
    }
    xml += " RatedSpeed=\"50.00\" PolePairsOrPitch=\"4\" InertiaOrMass=\"" +
           QByteArray::number(10 + n % 900) +
           "\" Damping=\"10\" MotorThermalTimeConstant=\"20\" WindingThermalTimeConstant=\"1\""
           " ThermalResistance=\"1.2\" AmbientTemperature=\"40\" MaxWindingTemperature=\"155\""
           " Ke=\"40\" ContinuousCurrent=\"3\" ContinuousCurrentDerating=\"0\""
           " PeakCurrent=\"9\" WindingResistance=\"2\" MinInductance=\"4\" MaxInductance=\"5\""
           " FeedbackResolution=\"8000\" CurrentLoopKp=\"13.32\" CurrentLoopKi=\"0.38\""
           " CurrentLoopIntegralLimit=\"128\" PwmFrequency=\"16\"/>\n";
    return xml;
}

bool WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

} // namespace

GeneratedMotors WriteGeneratedMotors(const QString& folder)
{
    GeneratedMotors g;
    g.MotorPath = QDir(folder).filePath(QStringLiteral("OrvexMotorDatabase.xml"));
    g.CrossReferencePath = QDir(folder).filePath(QStringLiteral("WindNum CustomNum CrossRef.xml"));
    QByteArray motors = "<?xml version=\"1.0\"?>\n<OrvexMotorDatabase version=\"1\">\n";
    QByteArray windings = "<?xml version=\"1.0\"?>\n<WindNumCustomNumCrossRef version=\"1\">\n";
    int n = 0;
    // Standard motors: 4 series x 8 frames x 4 stacks x 4 windings x 4 feedbacks x 2 coolings.
    for (const char* s : StandardSeries) {
        for (int fi = 0; fi < Frames; ++fi) {
            for (int ki = 0; ki < Stacks; ++ki) {
                for (int wi = 0; wi < Windings; ++wi) {
                    for (const char* b : FeedbackCodes) {
                        for (const char* cooling : Coolings) {
                            MotorQuery q{QString::fromLatin1(s),
                                         QString::number(fi + 1),
                                         QString(QLatin1Char(char('A' + ki))),
                                         QString::number(wi + 1),
                                         QString::fromLatin1(b),
                                         {},
                                         {},
                                         QString::fromLatin1(cooling)};
                            q.Part = PartNumber(q.Series, q.Frame, q.Stack, q.Winding, q.Feedback);
                            motors += MotorElement(q, n++);
                            g.Standard.push_back(q);
                        }
                    }
                }
            }
        }
    }
    // The rest are custom windings of series CM with stack "X", dealt
    // round its 128 part numbers.
    for (int w = 1; n < GeneratedMotorCount; ++w, ++n) {
        const int p = w % (Frames * Windings * Feedbacks);
        MotorQuery q{QStringLiteral("CM"),
                     QString::number(p / (Windings * Feedbacks) + 1),
                     QStringLiteral("X"),
                     QString::number(p / Feedbacks % Windings + 1),
                     QString::fromLatin1(FeedbackCodes[p % Feedbacks]),
                     {},
                     QString::asprintf("W%05d", w),
                     QStringLiteral("HS")};
        q.Part = PartNumber(q.Series, q.Frame, q.Stack, q.Winding, q.Feedback);
        motors += MotorElement(q, n);
        windings += "  <Winding Name=\"" + q.CustomWinding.toLatin1() + "\" CustomPart=\"C-" +
                    QByteArray::number(w) + "\" BaseSeries=\"\"/>\n";
        g.Custom.push_back(q);
    }
    motors += "</OrvexMotorDatabase>\n";
    windings += "</WindNumCustomNumCrossRef>\n";
    if (!WriteFile(g.MotorPath, motors) || !WriteFile(g.CrossReferencePath, windings)) {
        std::fprintf(stderr, "cannot write the generated database\n");
        std::abort();
    }
    return g;
}

} // namespace OrvexBench
