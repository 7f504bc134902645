#include "commandline.h"

#include "tarnconfig.h"

#include <QCommandLineParser>

#include <cstdio>

#include <vector>

namespace {

const char *const ApiVariable = "TARNAPP_MIDI_API";

// The library's API for a service name; UNSPECIFIED for a name it does not know.
RtMidi::Api apiNamed(const QString &name)
{
    const QString key = name.trimmed().toLower();
    if (key == QLatin1String("alsa"))
        return RtMidi::LINUX_ALSA;
    if (key == QLatin1String("jack"))
        return RtMidi::UNIX_JACK;
    return RtMidi::UNSPECIFIED;
}

// Qt's own options, which the GUI's application object takes out of the
// arguments (also with two dashes, or as -name=value): those that take the
// next argument, and those that stand alone. Qt's abort without a display
// comes before it takes them out.
bool isQtOption(const QString &argument, bool *takesValue)
{
    static const QStringList valued =
        QStringLiteral("platform platformpluginpath platformtheme plugin qwindowgeometry geometry "
                       "qwindowtitle title qwindowicon icon session display name visual style "
                       "stylesheet")
            .split(' ');
    static const QStringList alone{"reverse", "testability", "widgetcount", "nograb", "dograb"};
    if (!argument.startsWith('-'))
        return false;
    const QString word = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const int equals = word.indexOf('=');
    if (equals > 0) {
        *takesValue = false;
        const QString name = word.left(equals);
        return valued.contains(name) || name == QLatin1String("qmljsdebugger");
    }
    *takesValue = valued.contains(word);
    return *takesValue || alone.contains(word);
}

bool compiled(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    for (RtMidi::Api each : apis) {
        if (each == api)
            return true;
    }
    return false;
}

} // namespace

void CommandLine::parse(const QStringList &arguments, const QString &environmentApi)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Switches a MIDI unit between six stored presets.\n\n"
                       "Keys: 1 to 6 choose a preset; Page Down, Right and Down the next\n"
                       "one; Page Up, Left and Up the previous one. F11 toggles full\n"
                       "screen, Escape leaves it.\n\n"
                       "Environment: %1=alsa|jack chooses the MIDI service\n"
                       "as --midi-api does; the option wins.")
            .arg(QLatin1String(ApiVariable)));
    // Not addHelpOption(): its --help-all would need Qt's own exit path.
    const QCommandLineOption helpOption(QStringList{"h", "help"},
                                        QStringLiteral("Displays this help."));
    parser.addOption(helpOption);
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption apiOption(
        QStringLiteral("midi-api"),
        QStringLiteral("The MIDI service to use: alsa or jack (default: the MIDI library's "
                       "choice)."),
        QStringLiteral("service"));
    parser.addOption(apiOption);

    QStringList ours;
    for (int at = 0; at < arguments.size(); ++at) {
        bool takesValue = false;
        if (at > 0 && isQtOption(arguments[at], &takesValue))
            at += takesValue;
        else
            ours << arguments[at];
    }
    const QString usage = parser.helpText();
    if (!parser.parse(ours)) {
        fail(parser.errorText(), usage);
        return;
    }
    if (parser.isSet(helpOption)) {
        outText = usage;
        exitStatus = 0;
        return;
    }
    if (parser.isSet(versionOption)) {
        outText = QStringLiteral("TarnApp %1\n").arg(QStringLiteral(TARNAPP_VERSION));
        exitStatus = 0;
        return;
    }
    if (!parser.positionalArguments().isEmpty()) {
        fail(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()),
             usage);
        return;
    }

    const bool fromOption = parser.isSet(apiOption);
    const QString name = fromOption ? parser.value(apiOption) : environmentApi;
    if (!fromOption && name.isEmpty())
        return; // the library's own choice
    const QString source =
        fromOption ? QStringLiteral("--midi-api") : QString::fromLatin1(ApiVariable);
    api = apiNamed(name);
    if (api == RtMidi::UNSPECIFIED) {
        fail(QStringLiteral("Unknown MIDI service '%1' in %2: use alsa or jack.").arg(name, source),
             QString());
        return;
    }
#ifndef TARNAPP_WITH_JACK
    // The library may know JACK, but our JACK ports are not in this build.
    if (api == RtMidi::UNIX_JACK) {
        fail(QStringLiteral("This build of TarnApp has no JACK (asked for in %1).").arg(source),
             QString());
        api = RtMidi::UNSPECIFIED;
        return;
    }
#endif
    if (!compiled(api)) {
        fail(QStringLiteral("The MIDI library was built without %1 (asked for in %2).")
                 .arg(name.trimmed(), source),
             QString());
        api = RtMidi::UNSPECIFIED;
    }
}

void CommandLine::fail(const QString &message, const QString &usage)
{
    errorText = QStringLiteral("TarnApp: ") + message + QLatin1Char('\n');
    if (!usage.isEmpty())
        errorText += QLatin1Char('\n') + usage;
    exitStatus = 2;
}

int CommandLine::report() const
{
    std::fputs(outText.toLocal8Bit().constData(), stdout);
    std::fputs(errorText.toLocal8Bit().constData(), stderr);
    return exitStatus;
}
