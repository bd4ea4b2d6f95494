#include "run/run_session.h"

#include <utility>

#include "run/round_csv.h"
#include "run/round_log.h"

namespace dramolex::run {
namespace {

int64_t sumOfAges(const model::pass_graph& t)
{
    int64_t sum = 0;
    for (size_t age = 1; age < t.ageDist.size(); ++age) sum += static_cast<int64_t>(age) * t.ageDist[age];
    return sum;
}

} // namespace

RunSession::RunSession(const RunConfig& config)
    : config_(config),
      population_(std::make_unique<model::Population>(config.parameters.numAgents, config.parameters.grouperPercent,
                                                      config.parameters.avgAge, config.parameters.numGroups,
                                                      config.parameters.seed, config.parameters.model)),
      history_(std::make_unique<History>()), observables_(config.parameters.model.memory, config.parameters.numAgents)
{
    block_.reserve(1024);
}

RunSession::~RunSession() = default;

void RunSession::setLogFile(OutputFile* file)
{
    logFile_ = file;
    logError_.clear();
}

void RunSession::setLogText(std::string* text) { logText_ = text; }

void RunSession::setCsvFile(OutputFile* file)
{
    csvFile_ = file;
    csvError_.clear();
}

void RunSession::setCsvText(std::string* text) { csvText_ = text; }

void RunSession::setRoundCallback(RoundCallback callback) { callback_ = std::move(callback); }

const model::pass_graph& RunSession::step()
{
    const int64_t round = played_;
    const bool measured = round >= config_.burnIn;
    if (measured) {
        if (round == config_.burnIn) {
            frozen_.start(*population_);
        } else {
            frozen_.check(*population_);
        }
    }
    const bool logging = logFile_ != nullptr || logText_ != nullptr;
    block_.clear();
    // The header belongs before the round is played, the body after it; the
    // block goes out whole once the round is done.
    if (logging) appendRoundHeader(block_, round);

    const model::pass_graph& t = population_->turn();
    ++played_;
    history_->record(round, t, numbars_);

    if (logging) {
        appendRoundBody(block_, round, t);
        if (logText_ != nullptr) logText_->append(block_);
        writeTo(logFile_, logError_, block_);
    }
    if (csvFile_ != nullptr || csvText_ != nullptr) {
        block_.clear();
        appendCsvRow(block_, round, t);
        if (csvText_ != nullptr) csvText_->append(block_);
        writeTo(csvFile_, csvError_, block_);
    }
    if (measured) observables_.add(t.attendance, population_->getSti(), t.numWinners, t.numDeaths, sumOfAges(t));
    if (callback_) callback_(round, t);
    return t;
}

void RunSession::writeTo(OutputFile*& file, std::string& error, const std::string& text)
{
    if (file == nullptr) return;
    if (!file->write(text)) {
        error = file->error();
        file = nullptr;
    }
}

RunSummary RunSession::summary() const
{
    const RunParameters& p = config_.parameters;
    RunSummary s;
    s.rounds_played = played_;
    s.rounds_measured = observables_.rounds();
    s.alpha = static_cast<double>(int64_t{1} << p.model.memory) / p.numAgents;
    s.sigma2_over_n = observables_.sigma2OverN();
    s.h_over_n = observables_.hOverN();
    s.mean_attendance = observables_.meanAttendance();
    s.mean_winners = observables_.meanWinners();
    s.mean_deaths = observables_.meanDeaths();
    if (p.mortality()) s.mean_age = observables_.meanAge();

    s.frozen_fraction = frozen_.fraction(*population_, s.rounds_measured, p.mortality());

    int64_t groupedCapital = 0, groupedCount = 0, otherCapital = 0, otherCount = 0;
    for (int32_t slot = 0; slot < population_->getNumAgents(); ++slot) {
        if (population_->groupIndexOf(slot) != model::Agent::noGroup) {
            groupedCapital += population_->capitalOf(slot);
            ++groupedCount;
        } else {
            otherCapital += population_->capitalOf(slot);
            ++otherCount;
        }
    }
    if (groupedCount > 0) s.mean_capital_groupers = static_cast<double>(groupedCapital) / static_cast<double>(groupedCount);
    if (otherCount > 0) s.mean_capital_nongroupers = static_cast<double>(otherCapital) / static_cast<double>(otherCount);
    return s;
}

RunSummary playRun(const RunConfig& config, std::string* csvRows)
{
    RunSession session(config);
    session.setCsvText(csvRows);
    for (int64_t round = 0; round < config.rounds; ++round) session.step();
    return session.summary();
}

} // namespace dramolex::run
