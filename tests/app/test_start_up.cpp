// The editor started as a user (or a file manager) starts it: file names open
// in the window and are never written, its own options answer, and copies
// started together leave exactly one window.
#include "app/editor_app.h"
#include "tests/support/photo_fixture.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace ombrik;
using test::LoadSamplePhoto;
using test::SavePixelBuffer;

namespace {

QString UniqueInstance()
{
    return QStringLiteral("ombrik-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QProcessEnvironment Environment(const QString& instance, bool offscreen = true)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (offscreen)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("OMBRIK_INSTANCE_NAME"), instance);
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return env;
}

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Reads the process's error output until it holds `text` or the time is up.
bool WaitForError(QProcess& process, QByteArray& log, const char* text, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs && !log.contains(text); waited += 100) {
        process.waitForReadyRead(100);
        log += process.readAllStandardError();
        if (process.state() == QProcess::NotRunning)
            break;
    }
    log += process.readAllStandardError();
    return log.contains(text);
}

void Stop(QProcess& process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
}

} // namespace

TEST(StartUp, FileNamesAloneOpenTheFirstAndNeverWriteTheOthers)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.png"));
    const QString b = dir.filePath(QStringLiteral("b.png"));
    ASSERT_TRUE(SavePixelBuffer(LoadSamplePhoto("coffee.png", 64, 48), a.toStdString()));
    ASSERT_TRUE(SavePixelBuffer(LoadSamplePhoto("coffee.png", 32, 24), b.toStdString()));
    const QByteArray bytesA = Bytes(a), bytesB = Bytes(b);

    QProcess editor;
    editor.setProcessEnvironment(Environment(UniqueInstance()));
    editor.start(QStringLiteral(OMBRIK_EXECUTABLE), {a, b});
    ASSERT_TRUE(editor.waitForStarted(10000));
    QByteArray log;
    // The window runs and says that b.png was not opened.
    EXPECT_TRUE(WaitForError(editor, log, "not opened: b.png", 90000)) << log.toStdString();
    EXPECT_EQ(editor.state(), QProcess::Running) << log.toStdString();
    Stop(editor);
    EXPECT_EQ(Bytes(a), bytesA);
    EXPECT_EQ(Bytes(b), bytesB);
}

TEST(StartUp, VersionHelpAndQtOptionsAnswerForTheEditor)
{
    // Qt's own -platform option reaches Qt (no display is needed here).
    QProcess version;
    version.setProcessEnvironment(Environment(UniqueInstance(), false));
    version.start(QStringLiteral(OMBRIK_EXECUTABLE), {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                                       QStringLiteral("--version")});
    ASSERT_TRUE(version.waitForFinished(60000));
    EXPECT_EQ(version.exitCode(), 0) << version.readAllStandardError().toStdString();
    const QByteArray out = version.readAllStandardOutput();
    EXPECT_TRUE(out.startsWith("Ombrik Photo Editor ")) << out.toStdString();

    QProcess help;
    help.setProcessEnvironment(Environment(UniqueInstance(), false));
    help.start(QStringLiteral(OMBRIK_EXECUTABLE), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(60000));
    EXPECT_EQ(help.exitCode(), 0);
    const QByteArray text = help.readAllStandardOutput();
    EXPECT_TRUE(text.contains("--screenshot")) << text.toStdString();
    EXPECT_TRUE(text.contains("photo")) << text.toStdString();
}

TEST(SingleInstance, CopiesStartedTogetherLeaveExactlyOneWindow)
{
    const QString instance = UniqueInstance();
    QProcess first, second;
    for (QProcess* p : {&first, &second})
        p->setProcessEnvironment(Environment(instance));
    first.start(QStringLiteral(OMBRIK_EXECUTABLE), {});
    second.start(QStringLiteral(OMBRIK_EXECUTABLE), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(second.waitForStarted(10000));

    // One of them hands over and exits; the other is brought to the front.
    QProcess* gone = nullptr;
    for (int waited = 0; waited < 120000 && !gone; waited += 100) {
        first.waitForFinished(50);
        second.waitForFinished(50);
        if (first.state() == QProcess::NotRunning)
            gone = &first;
        else if (second.state() == QProcess::NotRunning)
            gone = &second;
    }
    ASSERT_NE(gone, nullptr) << "both copies kept running";
    QProcess& kept = gone == &first ? second : first;
    EXPECT_EQ(gone->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gone->exitCode(), 0) << gone->readAllStandardError().toStdString();
    QByteArray log;
    EXPECT_TRUE(WaitForError(kept, log, "brought to the front", 60000)) << log.toStdString();
    EXPECT_EQ(kept.state(), QProcess::Running);
    QLocalSocket probe;
    probe.connectToServer(instance);
    EXPECT_TRUE(probe.waitForConnected(5000));
    probe.abort();
    Stop(kept);
}

TEST(SingleInstance, ALiveSocketIsNeverTakenAStaleOneIs)
{
    const QString instance = UniqueInstance();
    CEditorApp running(instance);
    ASSERT_TRUE(running.listen());

    // A second copy that found nobody a moment ago must not take the name of
    // one that answers; handing over reaches the running one.
    CEditorApp late(instance);
    EXPECT_FALSE(late.listen());
    QSignalSpy activations(&running, &CEditorApp::activationRequested);
    EXPECT_FALSE(late.startOrHandOver({QStringLiteral("/tmp/x.png")}));
    ASSERT_TRUE(activations.wait(5000) || !activations.isEmpty());
    EXPECT_EQ(activations.first().first().toStringList(), QStringList{QStringLiteral("/tmp/x.png")});

    // A socket file that refuses connections (its owner died) is replaced.
    const QString stale = UniqueInstance();
    const QByteArray path = QFile::encodeName(QDir::tempPath() + "/" + stale);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));
    CEditorApp restarted(stale);
    EXPECT_TRUE(restarted.startOrHandOver({}));
    QLocalSocket probe;
    probe.connectToServer(stale);
    EXPECT_TRUE(probe.waitForConnected(2000));
}
