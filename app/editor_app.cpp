#include "app/editor_app.h"

#include "artistic/brush_resources.h"
#include "engine/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

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
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // A socket left behind by an instance that crashed: nobody answered it.
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &CEditorApp::acceptConnection);
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
