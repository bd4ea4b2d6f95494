#include "cli/run_command.h"

int main(int argc, char** argv)
{
    return dramolex::cli::runnerMain(argc, argv);
}
