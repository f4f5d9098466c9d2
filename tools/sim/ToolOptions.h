#pragma once

#include <QCommandLineParser>
#include <QString>

#include <cstdio>

// What the simulator programs share on their command line.
namespace zorel8z::sim {

// Adds an option; with `valueName` it takes a value.
void addOption(QCommandLineParser& parser, const char* name, const char* help, const char* valueName = nullptr);
// One line of UTF-8, flushed at once (a test may be waiting for it).
void print(FILE* to, const QString& text);
// A usage error: the program's name and the text on stderr, exit code 2.
[[noreturn]] void die(const QString& text);
// The option's value as a number in [min, max], or a usage error.
int intValue(const QCommandLineParser& parser, const QString& name, int min, int max);

} // namespace zorel8z::sim
