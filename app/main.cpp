#include "app/CVelmoraApp.h"

CVelmoraApp theApp;

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
