// The notch filter page on the simulated drive, as the program builds it
// (the simulator's link paced at 115200 baud), with the page shown
// offscreen: the time from a key press (Enter in a box, or a step of its
// spin control) until the drive has received the command. The built-in
// simulator's port takes written bytes at once and paces only its answers, so
// the figure is the program's own part, without wire time. Target: within
// 5 ms.

#include "NotchTuningDlg.h"
#include "NumSpinCtrl.h"
#include "PageIds.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Orvex;

namespace {

constexpr double TargetMs = 5.0;
constexpr int Runs = 100;

struct Notch : OrvexTest::SimulatedWindow
{
    Notch()
    {
        window.resize(1200, 680);
        window.show();
        window.SetPage(PageId::NotchTuning);
        QApplication::processEvents();
    }
    NumSpinCtrl* Spin(const char* name) const
    {
        return window.Page(PageId::NotchTuning)->findChild<NumSpinCtrl*>(QLatin1String(name));
    }
};

// Runs action and waits until the drive has taken one more command; the
// milliseconds it took, or a negative number when nothing arrived in a second.
template <class Action> double TimeToDrive(Notch& n, Action action)
{
    const int before = n.Drive().CommandsReceived();
    QElapsedTimer timer;
    timer.start();
    action();
    while (n.Drive().CommandsReceived() == before) {
        if (timer.elapsed() > 1000)
            return -1.0;
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

bool Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const bool met = ms.front() >= 0.0 && ms.back() <= TargetMs;
    std::printf("%s: command at the drive %.3f ms median, %.3f ms slowest after the key, %zu "
                "runs (target %.0f ms): %s\n",
                what, ms[ms.size() / 2], ms.back(), ms.size(), TargetMs, met ? "met" : "NOT MET");
    return met;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Notch n;
    NumSpinCtrl* frequency = n.Spin("notch1FrequencySpin");
    NumSpinCtrl* depth = n.Spin("notch1DepthSpin");
    if (!frequency || !depth) {
        std::fprintf(stderr, "the notch page's boxes are missing\n");
        return 1;
    }
    std::vector<double> entered;
    std::vector<double> stepped;
    for (int i = 0; i < Runs; ++i) {
        entered.push_back(TimeToDrive(n, [&] {
            depth->findChild<QLineEdit*>()->setText(i % 2 ? QStringLiteral("0.25")
                                                          : QStringLiteral("0.5"));
            QTest::keyClick(depth, Qt::Key_Return);
        }));
        stepped.push_back(TimeToDrive(n, [&] { QTest::keyClick(frequency, Qt::Key_Up); }));
    }
    bool ok = Report("notch depth entered", entered);
    ok = Report("notch frequency stepped", stepped) && ok;
    return ok ? 0 : 1;
}
