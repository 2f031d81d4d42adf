#pragma once

#include <QByteArrayList>
#include <QStringList>
#include <string>

// The command line of GorseED. Without arguments (or with only Qt's own window
// options such as -platform) the editor window opens; otherwise the arguments
// are handled here, before any window or display is needed: --check, --help,
// --version, and a usage error for anything else.
namespace CommandLine {
bool wantsWindow(const QStringList &arguments);
// arguments: the bytes the process was given, the program first, so that a
// file name that is not UTF-8 reaches the file system, and the output, as
// given. Fills what goes to standard output and standard error; returns the
// exit status.
int run(const QByteArrayList &arguments, std::string &out, std::string &err);
} // namespace CommandLine
