#include "serviceportwatch.h"

#include "tarnconfig.h"

#include "midiportwatch.h"

#ifdef TARNAPP_WITH_ALSA
#include "alsaportwatch.h"
#endif
#ifdef TARNAPP_WITH_JACK
#include "jackportwatch.h"
#endif

std::vector<std::unique_ptr<ServicePortWatch>> ServicePortWatch::all(MidiPortWatch *watch)
{
    std::vector<std::unique_ptr<ServicePortWatch>> services;
#ifdef TARNAPP_WITH_JACK
    services.push_back(std::make_unique<JackPortWatch>(watch));
#endif
#ifdef TARNAPP_WITH_ALSA
    services.push_back(std::make_unique<AlsaPortWatch>(watch));
#endif
    (void)watch;
    return services;
}

bool ServicePortWatch::open()
{
    tried = true;
    opened = listen();
    return opened;
}

void ServicePortWatch::close()
{
    if (opened)
        stopListening();
    opened = false;
    tried = false;
}

void ServicePortWatch::portAdded(std::uint64_t key, const QString &name)
{
    watch->portAdded(keyTag | key, name);
}

void ServicePortWatch::portRemoved(std::uint64_t key)
{
    watch->portRemoved(keyTag | key);
}

void ServicePortWatch::serviceGone()
{
    watch->serviceGone(keyTag);
}
