#include <string>

#include "run/version.h"
#include "sweep/session_model.h"
#include "sweep/sweep_command.h"

int main(int argc, char** argv)
{
    return dramolex::sweep::sweepMain(argc, argv, dramolex::sweep::sessionModel(),
                                      std::string(dramolex::run::programVersion()),
                                      std::string(dramolex::run::gitCommit()));
}
