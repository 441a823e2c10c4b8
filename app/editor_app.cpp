#include "app/editor_app.h"

#include "artistic/brush_resources.h"
#include "engine/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <unistd.h>

#include <memory>

namespace ombrik {

namespace {

QString FindShipped(const QString& relative)
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    QStringList candidates = {exeDir + "/" + relative, exeDir + "/../share/ombrik/" + relative};
#ifdef OMBRIK_SOURCE_DIR
    candidates << QStringLiteral(OMBRIK_SOURCE_DIR) + "/resources/" + relative;
#endif
    for (const QString& c : candidates)
        if (QFileInfo::exists(c))
            return QFileInfo(c).canonicalFilePath();
    return QString();
}

} // namespace

QString CEditorApp::InstanceServerName()
{
    const QByteArray overridden = qgetenv("OMBRIK_INSTANCE_NAME");
    if (!overridden.isEmpty())
        return QString::fromUtf8(overridden);
    return QString::fromLatin1(kInstanceId) + "-" + QString::number(getuid());
}

CEditorApp::CEditorApp(const QString& serverName, QObject* parent) : QObject(parent), m_serverName(serverName) {}

CEditorApp::~CEditorApp() = default;

bool CEditorApp::forwardToRunningInstance(const QStringList& files, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    // Refused or missing: no instance runs (a crashed one may have left its socket).
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message("activate\n");
    for (const QString& f : files)
        message += f.toUtf8() + '\n';
    socket.write(message);
    socket.waitForBytesWritten(timeoutMs);
    // The running instance may be busy with a long effect; it reads the request
    // when it is free again, so a missing answer still means it runs.
    socket.waitForReadyRead(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

bool CEditorApp::listen()
{
    if (m_server && m_server->isListening())
        return true;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CEditorApp::acceptConnection);
    }
    // Only a socket that refuses a connection was left by an instance that is
    // gone; a live one (even a busy one) is never replaced. The probe comes
    // first because, with access restricted to the user, Qt moves its socket
    // into place with a rename that would silently replace a live one.
    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return false;
    }
    if (probe.error() == QLocalSocket::ConnectionRefusedError)
        QLocalServer::removeServer(m_serverName);
    else if (probe.error() != QLocalSocket::ServerNotFoundError)
        return false;  // it may be alive but busy: do not take its place
    return m_server->listen(m_serverName);
}

bool CEditorApp::startOrHandOver(const QStringList& files)
{
    // One start at a time decides: without the lock, two copies could both
    // find nobody running and both take the name. A lock whose owner died is
    // taken over by QLockFile.
    QLockFile lock(QDir::tempPath() + "/" + m_serverName + ".lock");
    lock.setStaleLockTime(0);
    const bool locked = lock.tryLock(15000);
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (forwardToRunningInstance(files))
            return false;
        if (listen())
            return true;
        if (!locked)
            QThread::msleep(100);
    }
    qWarning("ombrik: the single-instance name %s cannot be taken; running on its own", qPrintable(m_serverName));
    return true;
}

void CEditorApp::acceptConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        auto drain = [this, socket, buffer] {
            *buffer += socket->readAll();
            if (!buffer->startsWith("activate\n") || !buffer->endsWith('\n'))
                return;
            QStringList files;
            for (const QByteArray& line : buffer->mid(9).split('\n'))
                if (!line.isEmpty())
                    files << QString::fromUtf8(line);
            buffer->clear();
            if (socket->state() == QLocalSocket::ConnectedState) {
                socket->write("ok\n");
                socket->flush();
            }
            emit activationRequested(files);
        };
        connect(socket, &QLocalSocket::readyRead, this, drain);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The request may have arrived (and its sender gone) before we got here.
        drain();
    }
}

int CEditorApp::WriteBrushImages()
{
    const std::string folder = DataFolderPath();
    if (folder.empty())
        return 0;
    // A file that cannot be written is skipped; the painter falls back to its
    // built-in copy.
    WriteBrushFiles(folder);
    int written = 0;
    for (int n = 1; n <= 6; ++n)
        if (QFileInfo::exists(QString::fromStdString(folder) + QString::asprintf("%03d.pnm", n)))
            ++written;
    return written;
}

QString CEditorApp::SamplePhotoPath()
{
    return FindShipped(QStringLiteral("photos/coffee.png"));
}

QString CEditorApp::HelpPagePath()
{
    return FindShipped(QStringLiteral("help/index.html"));
}

} // namespace ombrik
