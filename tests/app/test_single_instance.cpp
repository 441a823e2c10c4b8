// Two real copies of the program: the second brings the first to the front
// and exits at once.
#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

QProcessEnvironment Environment(const QString& instance)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("OMBRIK_INSTANCE_NAME"), instance);
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return env;
}

bool WaitForServer(const QString& name, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(100)) {
            probe.disconnectFromServer();
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

} // namespace

TEST(SingleInstance, SecondCopyActivatesTheFirstAndExits)
{
    const QString instance = QStringLiteral("ombrik-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QProcess first;
    first.setProcessEnvironment(Environment(instance));
    first.start(QStringLiteral(OMBRIK_EXECUTABLE), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(WaitForServer(instance, 60000)) << "the first copy never listened";

    QProcess second;
    second.setProcessEnvironment(Environment(instance));
    second.start(QStringLiteral(OMBRIK_EXECUTABLE), {});
    ASSERT_TRUE(second.waitForFinished(30000)) << "the second copy kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    // The first copy is still there and was asked to come to the front.
    QByteArray log;
    for (int i = 0; i < 100 && !log.contains("brought to the front"); ++i) {
        first.waitForReadyRead(100);
        log += first.readAllStandardError();
    }
    EXPECT_TRUE(log.contains("brought to the front")) << log.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(10000);
}
