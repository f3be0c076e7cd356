// The main of the benchmarks that need a QApplication (windows, charts): the
// offscreen platform unless another is asked for, and the C locale for numbers
// (QApplication sets the user's).
#include <QApplication>
#include <benchmark/benchmark.h>

#include <clocale>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
