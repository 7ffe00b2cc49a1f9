#pragma once

#include "machine/Encoding.h"
#include "platform/Thread.h"

#include <asio.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

// The Ethernet link: a command connection (port 9999) for commands and status,
// a short second connection (port 80) for the information block, and the
// watchdog thread that connects in the background.
namespace korvane {

struct MachinePorts {
    std::uint16_t command = 9999;
    std::uint16_t info = 80;
};

// The ports of the start-up option machinePorts='COMMAND,INFO', else 9999 and 80.
// A malformed option is ignored.
MachinePorts machinePortsOption();

class TfEthernet {
  public:
    TfEthernet(std::string host, MachinePorts ports);
    ~TfEthernet();
    TfEthernet(const TfEthernet&) = delete;
    TfEthernet& operator=(const TfEthernet&) = delete;

    // The command exchange: 0 when the echo came back right, else
    // ethernetNoEcho (the connection is closed), ethernetEchoLength or
    // ethernetEchoDiffers, also left in ethernetError.
    int Write(const std::string& s);
    // The status exchange; false (ethernetError ethernetStatusFailed) when no
    // full block came.
    bool GetStatus(ReplyBlock& block);
    // The information exchange on its own connection; no reply leaves
    // ethernetNoInformation in ethernetError.
    void getInfo();

    // One blocking connect of the command connection (the watchdog's step); on
    // success the connect event is posted to the main loop. False on failure.
    bool connect();
    // Closes the command connection (disconnect event).
    void disconnect();

    // Wakes the watchdog when the command connection is down.
    void wakeWatchdog();

    // The machine's address as given.
    const std::string& host() const { return host_; }

  private:
    void onConnect();
    void onError(const std::error_code& error);

    std::string host_;
    MachinePorts ports_;
    asio::io_context io_;
    asio::ip::tcp::socket socket_;
    std::atomic<bool> connected_{false};
    std::mutex connectMutex_;

    // tEthernetCzuwanie
    Thread watchdog_;
    std::mutex wakeMutex_;
    std::condition_variable wakeCondition_;
    bool wake_ = false;
    std::shared_ptr<bool> alive_;
};

} // namespace korvane
