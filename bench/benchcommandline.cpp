#include "benchcommandline.h"

#include <cstdio>

BenchCommandLine::BenchCommandLine(const QString &description)
    : program("program", "The TarnApp executable (default: the one built with this).", "PATH",
              TARNAPP_EXECUTABLE)
{
    parser.setApplicationDescription(description);
    parser.addOption(program);
}

QCommandLineOption BenchCommandLine::number(const char *name, const char *text, int value)
{
    return QCommandLineOption(name, QString("%1 (default %2).").arg(text).arg(value), "N",
                              QString::number(value));
}

int BenchCommandLine::parse(const QStringList &arguments)
{
    const QCommandLineOption help = parser.addHelpOption();
    if (parser.parse(arguments) && !parser.isSet(help))
        return -1;
    const QString error = parser.errorText();
    std::fputs(qPrintable((error.isEmpty() ? "" : error + '\n') + parser.helpText()),
               error.isEmpty() ? stdout : stderr);
    return error.isEmpty() ? 0 : 2;
}

bool BenchCommandLine::read(std::initializer_list<Number> numbers, bool valid) const
{
    for (const Number &each : numbers) {
        bool whole = false;
        each.target = parser.value(each.option).toInt(&whole);
        valid = valid && whole && each.target >= each.least;
    }
    if (!valid)
        std::fputs(qPrintable(parser.helpText()), stderr);
    return valid;
}
