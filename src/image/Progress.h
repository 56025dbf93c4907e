#pragma once
// Long image operations report their progress in percent (0..100). The main
// window routes these reports to its progress bar; tests and the command-line
// tool pass nothing.

#include <functional>

using ProgressCallback = std::function<void(int percent)>;
