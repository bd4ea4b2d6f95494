#include "cli/run_command.h"

#ifdef DRAMOLEX_WITH_CHARTS
#include "charts/chart_export.h"
#endif

int main(int argc, char** argv)
{
#ifdef DRAMOLEX_WITH_CHARTS
    return dramolex::cli::runnerMain(argc, argv, dramolex::charts::exportAllViewsHeadless);
#else
    return dramolex::cli::runnerMain(argc, argv);
#endif
}
