// main() of a benchmark program that needs Qt's widgets.
#pragma once

// Makes the application object, then runs the benchmarks and reports them on the standard error
// stream; the standard output, where the tracer writes, is discarded meanwhile.
int runQtBenchmarks(int argc, char** argv);
