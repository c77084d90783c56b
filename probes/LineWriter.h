// How a section hands its lines to the report: one call per line.
#pragma once

#include <functional>
#include <string>

using LineWriter = std::function<void(const std::string&)>;
