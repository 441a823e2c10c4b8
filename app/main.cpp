// The editor: one window on one photo. `ombrik [photo...]` opens the first photo
// (the bundled sample when none is given) and says that the others were not
// opened; the batch options (--effect, --output, --list, ...) run the batch mode
// without a window, as ombrik-cli does.
#include "batch/batch_mode.h"
#include "app/editor_app.h"
#include "app/editor_dlg.h"
#include "recovery/recovery_session.h"
#include "ui/artwork.h"
#include "ui/translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include <memory>

using namespace ombrik;

namespace {

// The window's own options (screenshots of the window for checking its look).
bool HasWindowOption(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--screenshot") || arg.startsWith("--panel") || arg.startsWith("--command"))
            return true;
    }
    return false;
}

// --help and --version print and exit: they need no display.
bool AsksForHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (!HasWindowOption(argc, argv) && IsBatchInvocation(argc, argv))
        return RunBatchMode(argc, argv);

    if (AsksForHelpOrVersion(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrik Photo Editor"));
    QApplication::setOrganizationName(QStringLiteral("Ombrik"));
    QApplication::setApplicationVersion(QStringLiteral(OMBRIK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.ombrik.PhotoEditor"));
    QApplication::setWindowIcon(LogoIcon());
    InstallTranslations();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Ombrik Photo Editor\n\nWith --effect, --output or --list it runs the batch mode instead "
                       "(see ombrik-cli --help)."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of the window to <file> after start and quit."),
                                  QStringLiteral("file"));
    QCommandLineOption panel(QStringLiteral("panel"),
                             QStringLiteral("Show a panel at start: retouch, filters, warp, lighting, text or adjust."),
                             QStringLiteral("name"));
    QCommandLineOption commands(QStringLiteral("command"),
                                QStringLiteral("Run a window command (by id) after start; may be repeated. "
                                               "msg:<message>:<wParam>:<lParam> sends a window message instead."),
                                QStringLiteral("id"));
    parser.addOption(screenshot);
    parser.addOption(commands);
    parser.addOption(panel);
    parser.addPositionalArgument(QStringLiteral("photo"),
                                 QStringLiteral("The photo to open (one at a time: further names are not opened)."),
                                 QStringLiteral("[photo...]"));
    parser.process(app);

    QStringList files;
    for (const QString& f : parser.positionalArguments())
        files << QFileInfo(f).absoluteFilePath();

    CEditorApp editorApp(CEditorApp::InstanceServerName());
    if (!parser.isSet(screenshot) && !editorApp.startOrHandOver(files))
        return 0;
    CEditorApp::WriteBrushImages();

    CEditorDlg window;
    QObject::connect(&editorApp, &CEditorApp::activationRequested, &window, &CEditorDlg::activateFromSecondStart);
    // Screenshots of the window's look keep no journal and ask nothing.
    std::unique_ptr<RecoverySession> recovery;
    if (!parser.isSet(screenshot))
        recovery = std::make_unique<RecoverySession>(window.session(), window);
    window.show();

    const QString photo = files.isEmpty() ? CEditorApp::SamplePhotoPath() : files.first();
    QTimer::singleShot(0, &window, [&] {
        const bool restored = recovery && recovery->offerLeftJournals();
        if (!restored && !photo.isEmpty())
            window.openPath(photo);
        window.tellOnlyFirstOpened(files);
        const QString name = parser.value(panel).toLower();
        const std::pair<const char*, int> panels[] = {{"retouch", cmd::RetouchPanel}, {"filters", cmd::FiltersPanel},
                                                      {"warp", cmd::WarpPanel},       {"lighting", cmd::LightingPanel},
                                                      {"text", cmd::TextPanel},       {"adjust", cmd::AdjustPanel}};
        for (const auto& [n, id] : panels)
            if (name == QLatin1String(n))
                window.command(id);
        for (const QString& id : parser.values(commands)) {
            const QStringList message = id.split(QLatin1Char(':'));
            if (message.size() == 4 && message[0] == QLatin1String("msg"))
                window.sendMessage(message[1].toUInt(nullptr, 0), message[2].toULongLong(nullptr, 0),
                                   message[3].toLongLong(nullptr, 0));
            else
                window.command(id.toInt());
        }
        if (parser.isSet(screenshot)) {
            QTimer::singleShot(500, &window, [&] {
                // The whole screen, so that open menus are in the picture too.
                QScreen* screen = window.screen();
                const QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
                (shot.isNull() ? window.grab() : shot).save(parser.value(screenshot));
                app.quit();
            });
        }
    });
    const int status = app.exec();
    if (recovery)
        recovery->finish(window.isHidden());
    return status;
}
