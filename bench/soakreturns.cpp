// The soak's device returns: a device unplugged and plugged back (the
// unit's timed), the JACK server stopped and started again.
#include "soakrun.h"

#include "serviceclients.h"

#include <cstdio>

using namespace std::chrono;

namespace {

constexpr milliseconds returnTimeout{10000};

double microsecondsSince(steady_clock::time_point from, steady_clock::time_point to)
{
    return duration<double, std::micro>(to - from).count();
}

} // namespace

SoakRun::Tally SoakRun::tally()
{
    return {m_logs->sysexOut.count() + m_logs->notesOut.count(), m_logs->sysexIn.count(),
            static_cast<long long>(m_unitHeard) + static_cast<long long>(size_t(m_pads.lampNotes)),
            m_unit.replies};
}

bool SoakRun::lostByService(const Tally &before)
{
    waitUntil([] { return false; }, milliseconds(300));
    const Tally now = tally();
    if (now.programOut - before.programOut > now.devicesIn - before.devicesIn ||
        now.devicesOut - before.devicesOut > now.programIn - before.programIn) {
        ++m_lostByService;
        std::fprintf(stderr, "soak: a return lost by the service (xrun?): ");
        return true;
    }
    std::fprintf(stderr, "soak: nothing lost on the way: ");
    return false;
}

bool SoakRun::replug(Device device)
{
    const bool unit = device == Device::Unit;
    const char *name = unit ? "unit" : "pads";
    LineCounter &gone = unit ? m_logs->unitGone : m_logs->padsGone;
    // The cable goes back in once the program has noticed it gone.
    const long long goneBefore = gone.count();
    SimulatedDevice &ports = unit ? m_unit : m_pads;
    const Clock::time_point unplugged = Clock::now();
    ports.unplug();
    if (unit)
        m_unplugUs.add(microsecondsSince(unplugged, Clock::now()));
    // Polled each millisecond, so that the line is seen when it comes.
    if (!waitUntil([&] { return gone.count() > goneBefore; }, returnTimeout, 1))
        std::fprintf(stderr, "soak: the program did not notice the %s gone\n", name);
    else if (unit)
        m_goneUs.add(microsecondsSince(unplugged, Clock::now()));
    const size_t serialBefore = m_serialRequests;
    const size_t lampsBefore = size_t(m_pads.lampNotes);
    const Tally before = tally();
    const Clock::time_point plugged = Clock::now();
    ports.plug();
    // The unit is asked for its serial again; after either, the pads light.
    // A request the service lost is the program's to ask again: the device
    // is plugged in once, as on stage. Such a request is counted, not timed.
    const auto asked = [&] { return !unit || m_serialRequests > serialBefore; };
    const bool askedAgain = waitUntil(asked, returnTimeout);
    if (unit && askedAgain && m_serialTimes.size() > serialBefore)
        m_backUs.add(microsecondsSince(plugged, m_serialTimes[serialBefore]));
    else if (unit)
        ++m_lostSerials;
    if (askedAgain && linkComplete(lampsBefore))
        return true;
    lostByService(before);
    ++m_lostReturns;
    std::fprintf(stderr,
                 "soak: the %s plugged back in did not link: %zu serial requests, %zu "
                 "lamp notes\n",
                 name, m_serialRequests - serialBefore, size_t(m_pads.lampNotes) - lampsBefore);
    return m_program->alive();
}

bool SoakRun::restartServer()
{
    // libjack opens no client of a new server while one of the old is held:
    // the soak's own clients go before the server and come back after it.
    m_clients.reset();
    m_unit.unplug(true);
    m_pads.unplug(true);
    if (!m_server.stop() || !m_server.start())
        return false;
    const Clock::time_point back = Clock::now();
    const size_t serialBefore = m_serialRequests;
    const size_t lampsBefore = size_t(m_pads.lampNotes);
    const Tally before = tally();
    m_unit.plug();
    m_pads.plug();
    m_clients = std::make_unique<ServiceClients>();
    // The program reopens its ports by itself and asks the unit for its serial.
    const bool asked = waitUntil([&] { return m_serialRequests > serialBefore; }, returnTimeout);
    const double askedAfter = duration<double>(Clock::now() - back).count();
    if (asked && linkComplete(lampsBefore)) {
        std::printf("JACK server stopped and started again (%d of %d): the program asked for the "
                    "serial %.2f s after its return, the pads lit %.2f s after\n",
                    ++m_restarts, m_options.serverRestarts, askedAfter,
                    duration<double>(Clock::now() - back).count());
        return true;
    }
    // A request lost on the new server is the program's to ask again: the
    // unit is not plugged in again for it.
    std::fprintf(stderr, "after the server's return: %zu serial requests, %zu lamp notes\n",
                 m_serialRequests - serialBefore, size_t(m_pads.lampNotes) - lampsBefore);
    // Asked again or not, a link that does not complete is the program's loss.
    lostByService(before);
    ++m_lostReturns;
    return m_program->alive();
}

void SoakRun::printReturns() const
{
    LatencyStats::printMilliseconds("Unit unplugged and back (ms)",
                                    {{"unplugging (the device's ports closing)", &m_unplugUs},
                                     {"ports gone -> grey lamp (log line seen)", &m_goneUs},
                                     {"ports back -> serial request at the unit", &m_backUs}});
    std::printf("Serial requests lost by the service and not timed: %d\n", m_lostSerials);
}
