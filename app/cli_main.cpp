// ombrik-cli: the batch mode on its own, without the editor window. The batch
// makes the Qt application object it needs (a GUI one only for text).
#include "app/batch_mode.h"

int main(int argc, char** argv)
{
    return ombrik::RunBatchMode(argc, argv);
}
