#include "app/Startup.h"

int main(int argc, char** argv)
{
    return itm::runProgram(argc, argv);
}
