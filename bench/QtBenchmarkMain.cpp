#include "bench/QtBenchmarkMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>

int runQtBenchmarks(int argc, char** argv) {
  std::ofstream discard("/dev/null");
  std::streambuf* console = std::cout.rdbuf(discard.rdbuf());
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::ConsoleReporter reporter;
  reporter.SetOutputStream(&std::cerr);
  reporter.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::cout.rdbuf(console);
  return 0;
}
