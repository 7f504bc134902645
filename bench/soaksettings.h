#ifndef SOAKSETTINGS_H
#define SOAKSETTINGS_H

#include <QString>

#include <map>
#include <string>

// The user's settings file as the soak sets it up for the program (the
// devices' ports, preset names, the foot switch) and reads it back to check
// that nothing but the serial number changed. Benchmark main thread.
class SoakSettings
{
public:
    explicit SoakSettings(const QString &configHome);

    // The ports as the devices name them (ALSA's numbers are looked up);
    // footSwitchIndex is zero-based.
    void write(const std::string &unitOut, const std::string &unitIn, const std::string &padsOut,
               const std::string &padsIn, int footSwitchIndex) const;
    // Every key but the serial number.
    std::map<QString, QString> read() const;
    // Prints each key that differs; true when every key of `before` keeps its
    // value (the program may add its defaults for keys the file lacked).
    static bool same(const std::map<QString, QString> &before,
                     const std::map<QString, QString> &after);

private:
    QString m_path;
};

#endif
