// CEditorApp: start-up of the editor. One instance per user: a second start
// hands its photo (if any) to the running instance, which comes to the front,
// and exits. At start the brush images are written into the data folder.
#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace ombrik {

class CEditorApp : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kInstanceId = "35F25FDB-9F98-4a7d-A3CC-035F0A43B023";

    // The local server name: the instance id and the user, or OMBRIK_INSTANCE_NAME.
    static QString InstanceServerName();

    explicit CEditorApp(const QString& serverName, QObject* parent = nullptr);
    ~CEditorApp() override;

    // Asks a running instance to come to the front and open `files`. True when
    // one answered: this process should then exit.
    bool forwardToRunningInstance(const QStringList& files, int timeoutMs = 1000);
    // Becomes the running instance; false when the name cannot be taken. A
    // socket left by an instance that is gone (it refuses connections) is
    // removed first; one that answers is never touched.
    bool listen();
    // Start-up: hands `files` to the running instance, or becomes it. Copies
    // started together take turns (a lock file), so exactly one of them runs.
    // False when this process handed over and should exit.
    bool startOrHandOver(const QStringList& files);

    // Writes the six brush images into the data folder; returns how many were written.
    static int WriteBrushImages();

    // The bundled sample photo and help page: beside the program, in the
    // installed share folder, or in the source tree of a build.
    static QString SamplePhotoPath();
    static QString HelpPagePath();

signals:
    void activationRequested(const QStringList& files);

private:
    void acceptConnection();

    QString m_serverName;
    QLocalServer* m_server = nullptr;
};

} // namespace ombrik
