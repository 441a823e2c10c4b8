// Runs the command-line tool and reports how it ended. The including test
// target defines OMBRIK_CLI_PATH as the tool's path.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

namespace ombrik::test {

struct CliRun {
    int exitCode;     // -1 when it crashed or did not finish in time
    std::string err;  // what it wrote to standard error
    std::string out;  // ... and to standard output
};

inline CliRun RunCli(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(OMBRIK_CLI_PATH), arguments);
    process.waitForFinished(180000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardError().toStdString(), process.readAllStandardOutput().toStdString()};
}

} // namespace ombrik::test
