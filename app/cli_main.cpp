// ombrik-cli: the batch mode on its own, without the editor window. The batch
// makes the Qt application object it needs (a GUI one only for text).
#include "batch/batch_mode.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    const int code = ombrik::RunBatchMode(argc, argv);
    std::fflush(stdout);
    std::fflush(stderr);
#if defined(__SANITIZE_ADDRESS__)
    return code;  // the leak check runs at the ordinary exit
#else
    // Every file is written and closed: the libraries' teardown (plugins,
    // caches, static objects) would only cost time.
    _exit(code);
#endif
}
