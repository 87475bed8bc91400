#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace aComms
{
// A byte link to one device. Reads and writes either move the whole count or throw;
// connect and disconnect never throw.
class GenericComms
{
public:
    virtual ~GenericComms() = default;

    virtual bool connect (uint16_t port, std::string address) = 0;
    virtual void disconnect() = 0;
    virtual int readData (uint8_t* buffer, int length) = 0;
    virtual int writeData (const uint8_t* buffer, int length) = 0;

    // Drops whatever a buffering link holds back; an unbuffered link holds nothing.
    virtual void flushBuffers() = 0;

    bool isAttached() const { return attached.load(); }

protected:
    std::string name = "SocketComms";
    std::recursive_mutex writeMutex;
    std::recursive_mutex readMutex;
    std::recursive_mutex connectMutex;
    std::atomic<bool> attached { false };
    std::string host;
    uint16_t port = 0xFFFF;
};

class GenericCommsUnbuffered : public GenericComms
{
};
}
