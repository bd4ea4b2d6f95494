#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace dramolex::sweep {

// Joins the summaries of a sweep's shards (every manifest*.json in the given
// directories) into one summary sorted by run. Refuses, naming them, shards of
// different configs, unfinished shards, a run in two shards and missing runs;
// then nothing is written. Returns an exit code: 0, 1 (cannot write), 2
// (refused), 3 (merged, but some runs failed).
int mergeShards(const std::vector<std::string>& dirs, const std::string& outFile, std::FILE* err);

} // namespace dramolex::sweep
