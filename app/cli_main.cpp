// ombrik-cli: the batch mode on its own, without the editor window.
#include "app/batch_mode.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return ombrik::RunBatchMode(argc, argv);
}
