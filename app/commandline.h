#pragma once

#include <QStringList>
#include <string>

// The command line of GorseED. Without arguments (or with only Qt's own window
// options such as -platform) the editor window opens; otherwise the arguments
// are handled here, before any window or display is needed: --check, --help,
// --version, and a usage error for anything else.
namespace CommandLine {
bool wantsWindow(const QStringList &arguments);
// arguments: as QCoreApplication::arguments(), the program first. Fills what
// goes to standard output and standard error; returns the exit status.
int run(const QStringList &arguments, std::string &out, std::string &err);
} // namespace CommandLine
