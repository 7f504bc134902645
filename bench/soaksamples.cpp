#include "soaksamples.h"

#include "simulateddevice.h"

#include <cstdio>
#include <fstream>

void SoakSamples::add(const Sample &sample)
{
    m_samples.push_back(sample);
    print(sample);
}

void SoakSamples::print(const Sample &s) const
{
    const bool first = m_samples.size() == 1;
    const char *clients = SimulatedDevice::onAlsa() ? "ports" : "clients";
    if (first)
        std::printf("%7s %8s %10s %6s %8s %8s %9s %9s %7s %7s %5s\n", "presses", "time s", "RSS kB",
                    "fds", "threads", clients, "p50 ms", "p99 ms", "lost-p", "lost-l", "svc");
    std::printf("%7d %8.1f %10lld %6d %8d %8d %9.2f %9.2f %7lld %7lld %5lld\n", s.presses,
                s.seconds, s.rssKb, s.files, s.threads, s.clients, s.p50Ms, s.p99Ms, s.lostPresses,
                s.lostLamps, s.lostByService);
    std::fflush(stdout);
    if (m_csvPath.isEmpty())
        return;
    std::ofstream csv(m_csvPath.toStdString(), first ? std::ios::trunc : std::ios::app);
    if (first)
        csv << "presses,seconds,rss_kb,fds,threads," << clients
            << ",p50_ms,p99_ms,lost_presses,lost_lamps,lost_by_service\n";
    csv << s.presses << ',' << s.seconds << ',' << s.rssKb << ',' << s.files << ',' << s.threads
        << ',' << s.clients << ',' << s.p50Ms << ',' << s.p99Ms << ',' << s.lostPresses << ','
        << s.lostLamps << ',' << s.lostByService << '\n';
}

std::vector<std::string> SoakSamples::failures() const
{
    // The first sample is the start's; the first 1000 presses (and the
    // first replugs) are the warm-up, so the judged samples start after them.
    if (m_samples.size() < 3)
        return {"too few samples to judge (two windows after the warm-up are needed)"};
    std::vector<std::string> failures;
    const Sample &first = m_samples[1];
    const Sample &last = m_samples.back();
    if (last.rssKb - first.rssKb > 2048)
        failures.push_back("resident memory grew " + std::to_string(last.rssKb - first.rssKb) +
                           " kB");
    for (size_t i = 2; i < m_samples.size(); ++i) {
        const Sample &a = m_samples[i - 1], &b = m_samples[i];
        if (b.files > a.files || b.threads > a.threads || b.clients > a.clients)
            failures.push_back("at " + std::to_string(b.presses) +
                               " presses: descriptors, threads or clients grew");
    }
    if (last.p99Ms > 1.5 * first.p99Ms)
        failures.push_back("p99 of the last window is over 1.5 times the first's");
    return failures;
}
