#pragma once

#include <QString>
#include <span>
#include <string>

namespace dramolex::charts {

// Renders every view of a history buffer and writes its PNG into dir under
// the view's file name. Returns an empty string, or the first failure.
QString exportAllViews(const QString& dir, std::span<const double> history);

// The same for a program without a window system: starts Qt on its
// offscreen platform first if no Qt application runs yet.
std::string exportAllViewsHeadless(const std::string& dir, std::span<const double> history);

} // namespace dramolex::charts
