// The simulated drive on a pseudo-terminal, for tests of the real serial path.
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using Orvex::SimulatedDrive;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("OrvexDriveSimulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvex Drive Simulator on a pseudo-terminal"));
    parser.addHelpOption();
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"), QStringLiteral("Folder of OrvexCommandDatabase.xml."),
        QStringLiteral("folder"), QCoreApplication::applicationDirPath());
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace answers like a serial line at this rate."),
                                  QStringLiteral("rate"), QStringLiteral("0"));
    const QCommandLineOption link(
        QStringLiteral("link"),
        QStringLiteral("Also reach the pseudo-terminal through this path (a symbolic link), "
                       "the same on every start."),
        QStringLiteral("path"));
    const QCommandLineOption fault(
        QStringLiteral("fault"),
        QStringLiteral("Make the drive misbehave; may be given several times: noanswer, "
                       "garbage, os:missing, os:corrupt, unconfigured, noenable, fault:<bit>, "
                       "mute:<bytes>, cut:<bytes>, baud:<rate>, noise:on, noise:off, "
                       "truemotor:<MRES|MLMAX|MKT|MKE|MJ|MFRIC>=<factor>, truemotor:fitted. "
                       "The drive command SIMSW=<switch> does the same while it runs; "
                       "SIMSW=clear ends the link faults."),
        QStringLiteral("switch"));
    const QCommandLineOption seed(
        QStringLiteral("seed"),
        QStringLiteral("Seed the current sensor noise, torque ripple and stiction so that runs "
                       "repeat; without it every start differs. The drive command SIMSEED=<n> "
                       "does the same while it runs."),
        QStringLiteral("n"));
    const QCommandLineOption loadRatio(
        QStringLiteral("load-ratio"),
        QStringLiteral("Load to rotor inertia ratio of the hidden load, 0 to 100 (default 2.5)."),
        QStringLiteral("R"), QStringLiteral("2.5"));
    const QCommandLineOption resonance(
        QStringLiteral("resonance-hz"),
        QStringLiteral("Resonance of the shaft to the load, 50 to 5000 Hz, 0 for a rigid "
                       "shaft (default 600)."),
        QStringLiteral("F"), QStringLiteral("600"));
    const QCommandLineOption damping(
        QStringLiteral("resonance-damping"),
        QStringLiteral("Damping ratio of that resonance, 0.001 to 1 (default 0.05)."),
        QStringLiteral("Z"), QStringLiteral("0.05"));
    const QCommandLineOption trueMotor(
        QStringLiteral("true-motor"),
        QStringLiteral("Make the motor as built differ from its configured data: its MRES, "
                       "MLMAX, MKT, MKE, MJ or MFRIC is the configured value times factor "
                       "(0.1 to 10); may be given several times. Captures and auto tuning "
                       "follow the motor as built."),
        QStringLiteral("mnemonic=factor"));
    const QCommandLineOption noNoise(
        QStringLiteral("no-noise"),
        QStringLiteral("No current sensor noise or quantisation, torque ripple or stiction."));
    parser.addOption(fault);
    parser.addOption(seed);
    parser.addOption(loadRatio);
    parser.addOption(resonance);
    parser.addOption(damping);
    parser.addOption(trueMotor);
    parser.addOption(noNoise);
    parser.addOption(dataDir);
    parser.addOption(baud);
    parser.addOption(link);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    std::unique_ptr<SimulatedDrive> drive =
        SimulatedDrive::FromFolder(parser.value(dataDir), &error);
    if (!drive) {
        err << error << Qt::endl;
        return 1;
    }
    drive->SeedFieldHistory();
    for (const QString& name : parser.values(fault)) {
        if (!drive->ApplySwitch(name, &error)) {
            err << error << Qt::endl;
            return 1;
        }
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        const quint64 value = parser.value(seed).toULongLong(&ok);
        if (!ok) {
            err << "--seed takes a whole number from 0" << Qt::endl;
            return 1;
        }
        drive->SetSeed(value);
    }
    Orvex::DriveModel::Load load = drive->Load();
    bool numbers = true;
    const auto number = [&parser, &numbers](const QCommandLineOption& option) {
        bool ok = false;
        const double value = parser.value(option).toDouble(&ok);
        numbers = numbers && ok;
        return value;
    };
    load.InertiaRatio = number(loadRatio);
    load.ResonanceHz = number(resonance);
    load.DampingRatio = number(damping);
    const QString loadError =
        numbers ? SimulatedDrive::LoadError(load.InertiaRatio, load.ResonanceHz, load.DampingRatio)
                : QStringLiteral("--load-ratio, --resonance-hz and --resonance-damping take "
                                 "numbers");
    if (!loadError.isEmpty()) {
        err << loadError << Qt::endl;
        return 1;
    }
    drive->SetLoad(load);
    for (const QString& factor : parser.values(trueMotor)) {
        if (!drive->ApplySwitch(QStringLiteral("truemotor:") + factor, &error)) {
            err << error << Qt::endl;
            return 1;
        }
    }
    drive->SetImperfect(!parser.isSet(noNoise));
    const int rate = parser.value(baud).toInt();

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        err << "Unable to open a pseudo-terminal: " << std::strerror(errno) << Qt::endl;
        return 1;
    }
    const char* slaveName = ptsname(master);
    // Holding the slave open keeps reads of the master from failing while no
    // client has it open.
    const int slave = ::open(slaveName, O_RDWR | O_NOCTTY);
    termios settings{};
    if (slave < 0 || tcgetattr(slave, &settings) != 0) {
        err << "Unable to set up " << slaveName << ": " << std::strerror(errno) << Qt::endl;
        return 1;
    }
    cfmakeraw(&settings);
    tcsetattr(slave, TCSANOW, &settings);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    // The same transport as the program's built-in port, so the answers are
    // paced the same way; it writes to the pseudo-terminal as they come due.
    Orvex::SimulatorTransport transport(std::shared_ptr<SimulatedDrive>(std::move(drive)));
    transport.SetBaudRate(rate);
    transport.ApplyLinkSwitches();
    transport.Open();

    QByteArray unwritten;
    QSocketNotifier writable(master, QSocketNotifier::Write);
    writable.setEnabled(false);
    const auto flush = [&] {
        while (!unwritten.isEmpty()) {
            const ssize_t written =
                ::write(master, unwritten.constData(), static_cast<size_t>(unwritten.size()));
            if (written <= 0)
                break;
            unwritten.remove(0, written);
        }
        writable.setEnabled(!unwritten.isEmpty());
    };
    QObject::connect(&writable, &QSocketNotifier::activated, &app, flush);
    QObject::connect(&transport, &Orvex::SimulatorTransport::Received, &app,
                     [&](const QByteArray& bytes) {
                         unwritten += bytes;
                         flush();
                     });

    QSocketNotifier notifier(master, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char buffer[512];
        const ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count > 0)
            transport.Write(QByteArray(buffer, static_cast<int>(count)));
    });

    // A fixed path lets a port added once in the program find the simulator
    // again after a restart, as a replugged adapter would be found.
    const QByteArray linkPath = QFile::encodeName(parser.value(link));
    if (!linkPath.isEmpty()) {
        ::unlink(linkPath.constData());
        if (::symlink(slaveName, linkPath.constData()) != 0) {
            err << "Unable to link " << parser.value(link) << ": " << std::strerror(errno)
                << Qt::endl;
            return 1;
        }
    }

    out << "Orvex Drive Simulator on " << slaveName << Qt::endl;
    const int result = app.exec();
    if (!linkPath.isEmpty())
        ::unlink(linkPath.constData());
    ::close(slave);
    ::close(master);
    return result;
}
