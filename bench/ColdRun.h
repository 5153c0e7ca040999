#pragma once

#include <QString>

namespace stowline::bench {

// The hidden mode in which the benchmark re-executes itself for one cold load:
// stowline-bench-load --cold-child component|client SERVER-NAME
inline constexpr char ColdChildFlag[] = "--cold-child";

// In a fresh process with its QApplication: shows the component or the hand-written client,
// loads once from the server and prints one line of figures for the parent. Returns the exit
// code.
int runColdChild(const QString& side, const QString& serverName);

// Runs `pairs` cold loads of each side, alternating, each in a fresh child process, and prints
// their medians, spreads and ratios. False when a child failed, a message box came up or the
// two sides listed different rows.
bool runColdPairs(const QString& serverName, int pairs);

// The machine's load averages over 1, 5 and 15 minutes, as /proc/loadavg gives them.
QString loadAverages();

} // namespace stowline::bench
