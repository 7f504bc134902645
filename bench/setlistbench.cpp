// tarnapp-setlistbench: how long a large setlist takes to load, from a file
// written in a temporary folder (10 000 songs of one to six parts by
// default). Prints the file's size and the shortest, median and longest of
// the loads. Needs no MIDI. Usage: tarnapp-setlistbench [songs] [loads]

#include "setlist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int songs = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    const int loads = argc > 2 ? std::max(1, atoi(argv[2])) : 21;

    // Names of a gig's length, some with colons and non-ASCII, a comment now and then.
    QByteArray text = "# Bench setlist\n";
    for (int i = 0; i < songs; ++i) {
        if (i % 50 == 0)
            text += "\n# set " + QByteArray::number(i / 50 + 1) + "\n";
        text +=
            "Song " + QByteArray::number(i + 1) + (i % 3 ? ": Über die Brücke" : " (live)") + ":";
        for (int part = 0; part <= i % 6; ++part)
            text += ' ' + QByteArray::number((i + part) % 6 + 1);
        text += '\n';
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return 1;
    file.close();

    std::vector<double> times;
    for (int i = 0; i < loads; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto setlist = Setlist::load(path);
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (!setlist || setlist->songCount() != songs) {
            std::fprintf(stderr, "setlist refused or short\n");
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("songs %d, file %lld bytes, loads %d: min %.2f ms, median %.2f ms, max %.2f ms\n",
                songs, static_cast<long long>(text.size()), loads, times.front(),
                times[times.size() / 2], times.back());
    return 0;
}
