// A QApplication on the offscreen platform for benchmarks that drive widgets.
#pragma once

#include <QApplication>

namespace ombrik::bench {

inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "ombrik_bench";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

} // namespace ombrik::bench
