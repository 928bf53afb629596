#include <cstdio>
#include <cstdlib>

#include "app/CVelmoraApp.h"
#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"

CVelmoraApp theApp;

int main(int argc, char** argv)
{
    // The batch mode runs without the toolkit: no display, no window.
    const int code = IsBatchCommandLine(argc, argv) ? RunBatchMode(argc, argv) : AfxWinMain(argc, argv);
    // Probes still running are not waited for: end the process without
    // tearing down what their threads may still be using.
    std::fflush(nullptr);
    std::_Exit(code);
}
