#ifndef BENCHCOMMANDLINE_H
#define BENCHCOMMANDLINE_H

#include <QCommandLineParser>

#include <initializer_list>

// The command line of the benchmark and the soak: whole-number options with
// their defaults, the program to run, help and errors alike in both. Main
// thread.
class BenchCommandLine
{
public:
    explicit BenchCommandLine(const QString &description);

    QCommandLineParser parser;
    // --program PATH, the TarnApp built beside the bench by default.
    const QCommandLineOption program;

    static QCommandLineOption number(const char *name, const char *text, int value);
    // -1 to go on; otherwise the exit code (0 after --help, 2 on an error).
    int parse(const QStringList &arguments);

    struct Number
    {
        const QCommandLineOption &option;
        int &target;
        int least;
    };
    // Reads each option into its target; false (help printed) when one is
    // not a whole number of at least its least value.
    bool read(std::initializer_list<Number> numbers, bool valid = true) const;
};

#endif
