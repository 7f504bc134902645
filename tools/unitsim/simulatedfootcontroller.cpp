#include "simulatedfootcontroller.h"

ByteVector SimulatedFootController::switchPress(int number)
{
    return {0xC0, static_cast<unsigned char>(number - 1)};
}

ByteVector SimulatedFootController::pedal(bool down)
{
    return {0xB0, pedalController, static_cast<unsigned char>(down ? 127 : 0)};
}

ByteVector SimulatedFootController::setlistSwitch(int number, bool down)
{
    return {0xB0, static_cast<unsigned char>(firstSetlistController + number),
            static_cast<unsigned char>(down ? 127 : 0)};
}

ByteVector SimulatedFootController::songSelect(int number)
{
    return {0xF3, static_cast<unsigned char>(number & 0x7F)};
}
