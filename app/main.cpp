#include <cstdio>
#include <cstdlib>

#include "app/CVelmoraApp.h"

CVelmoraApp theApp;

int main(int argc, char** argv)
{
    const int code = AfxWinMain(argc, argv);
    // Probes still running are not waited for: end the process without
    // tearing down what their threads may still be using.
    std::fflush(nullptr);
    std::_Exit(code);
}
