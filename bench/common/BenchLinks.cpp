#include "BenchLinks.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

namespace OrvexBench {

CountingTransport::CountingTransport(std::unique_ptr<Orvex::ILinkTransport> inner)
    : m_inner(std::move(inner))
{
    connect(m_inner.get(), &Orvex::ILinkTransport::Received, this, [this](const QByteArray& bytes) {
        m_in += bytes.size();
        Q_EMIT Received(bytes);
    });
    connect(m_inner.get(), &Orvex::ILinkTransport::Lost, this, &CountingTransport::Lost);
}

bool CountingTransport::Write(const QByteArray& bytes)
{
    m_out += bytes.size();
    m_lines += bytes.count('\r');
    return m_inner->Write(bytes);
}

QString StartStandaloneSimulator(QProcess& simulator, int baud, const QStringList& arguments)
{
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                    QStringList{QStringLiteral("--data-dir"), QStringLiteral(ORVEX_BENCH_DATA_DIR),
                                QStringLiteral("--baud"), QString::number(baud)} +
                        arguments);
    QByteArray output;
    QElapsedTimer waited;
    waited.start();
    while (!output.contains('\n') && waited.elapsed() < 10000 &&
           simulator.state() != QProcess::NotRunning) {
        simulator.waitForReadyRead(100);
        output += simulator.readAllStandardOutput();
    }
    static const QRegularExpression banner(
        QStringLiteral("^Orvex Drive Simulator on (/dev/\\S+)\\s*$"));
    const QRegularExpressionMatch match =
        banner.match(QString::fromLocal8Bit(output.left(output.indexOf('\n') + 1)));
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace OrvexBench
