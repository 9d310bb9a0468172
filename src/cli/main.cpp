#include "cli/Command.h"

int main(int argc, char** argv)
{
    return itm::cli::runCli(argc, argv);
}
