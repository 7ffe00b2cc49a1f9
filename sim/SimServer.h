#pragma once

#include "SimMachine.h"

#include <asio.hpp>

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

// The simulated machine's network side: the command port (commands echoed,
// "SX" answered with the status block), the information port ("HTTP"), and
// the control port, where a test or a person raises buttons and faults with
// one text line per request.
namespace korvane::sim {

struct SimPorts {
    std::uint16_t command = 9999;
    std::uint16_t info = 80;
    std::uint16_t control = 0; // 0: no control port
    bool withControl = false;
};

class SimServer {
  public:
    // Binds to 127.0.0.1 (or `address`); a port of 0 takes a free one. Throws
    // std::system_error when a port cannot be bound.
    SimServer(std::shared_ptr<SimMachine> machine, SimPorts ports,
              const std::string& address = "127.0.0.1");
    ~SimServer();

    std::uint16_t commandPort() const;
    std::uint16_t infoPort() const;
    std::uint16_t controlPort() const;

    // Closes every open command connection (the machine's cable pulled).
    void dropConnections();

    // The reply to one control line ("start", "stop", "continue", "overload",
    // "interrupt", "temperature DEGREES", "drive-error CODE MASK",
    // "inverter-fault", "clear", "busy on|off", "unsettled on|off",
    // "wrong-echo N", "long-echo N", "drop", "drop-after N", "drop-echo N",
    // "plate Z" (the plate's top, mm), "reference X Y Z" (the reference
    // switches, mm; a drift of the machine's count), "measure-request" (the
    // operator asks for the automatic tool measurement), "status", "flush").
    std::string control(const std::string& line);

  private:
    void acceptLoop(asio::ip::tcp::acceptor& acceptor, int kind);
    void serveCommands(std::shared_ptr<asio::ip::tcp::socket> socket);
    void serveInfo(std::shared_ptr<asio::ip::tcp::socket> socket);
    void serveControl(std::shared_ptr<asio::ip::tcp::socket> socket);

    std::shared_ptr<SimMachine> machine_;
    asio::io_context io_;
    asio::ip::tcp::acceptor command_, info_, control_;
    std::mutex mutex_;
    struct OpenSocket {
        std::weak_ptr<asio::ip::tcp::socket> socket;
        bool command = false; // on the command port
    };
    void shutDown(bool commandsOnly);

    std::list<OpenSocket> open_;
    std::list<std::thread> threads_;
    std::vector<std::thread> acceptors_;
    bool stopping_ = false;
};

} // namespace korvane::sim
