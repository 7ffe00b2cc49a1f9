#include "machine/Ethernet.h"

#include "foundation/CommandLine.h"
#include "foundation/Interfejs.h"
#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/LinkErrors.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "platform/MainLoop.h"

#include <optional>

namespace korvane {

namespace {

using asio::ip::tcp;

struct Outcome {
    std::error_code error;
    std::size_t bytes = 0;
};

// Runs one asynchronous operation on `io` until it completes or `timeout`
// passes; on timeout the socket is closed and the outcome is timed_out.
template <class Start>
Outcome withDeadline(asio::io_context& io, tcp::socket& socket, std::chrono::milliseconds timeout,
                     Start start) {
    std::optional<Outcome> outcome;
    start([&](std::error_code error, auto... bytes) {
        outcome = Outcome{error, (std::size_t{0} + ... + bytes)};
    });
    io.restart();
    io.run_for(timeout);
    if (!outcome) {
        std::error_code ignored;
        socket.close(ignored);
        io.restart();
        io.run();
        return Outcome{asio::error::timed_out, outcome ? outcome->bytes : 0};
    }
    return *outcome;
}

Outcome connectSocket(asio::io_context& io, tcp::socket& socket, const std::string& host,
                      std::uint16_t port) {
    std::error_code error;
    tcp::resolver resolver(io);
    const auto endpoints = resolver.resolve(host, std::to_string(port), error);
    if (error) return Outcome{error, 0};
    Outcome o = withDeadline(io, socket, exchangeTimeout, [&](auto handler) {
        asio::async_connect(
            socket, endpoints,
            [handler](std::error_code e, const tcp::endpoint&) mutable { handler(e); });
    });
    if (!o.error) socket.set_option(tcp::no_delay(true), error);
    return o;
}

Outcome writeAll(asio::io_context& io, tcp::socket& socket, const std::string& bytes) {
    return withDeadline(io, socket, exchangeTimeout, [&](auto handler) {
        asio::async_write(socket, asio::buffer(bytes), handler);
    });
}

// Reads until at least `least` bytes arrived (at most buffer size), the peer
// closed, or the deadline passed.
Outcome readAtLeast(asio::io_context& io, tcp::socket& socket, asio::mutable_buffer buffer,
                    std::size_t least) {
    return withDeadline(io, socket, exchangeTimeout, [&](auto handler) {
        asio::async_read(socket, buffer, asio::transfer_at_least(least), handler);
    });
}

// Discards what the machine sent beyond its last reply (the surplus of an echo
// that came late), so that the next exchange reads its own bytes.
void drainPending(tcp::socket& socket) {
    std::error_code error;
    std::array<std::uint8_t, 256> discard;
    for (std::size_t pending = socket.available(error); !error && pending > 0;
         pending = socket.available(error))
        socket.read_some(asio::buffer(discard.data(), std::min(pending, discard.size())), error);
}

} // namespace

MachinePorts machinePortsOption() {
    MachinePorts ports;
    const auto value = switchValue("machinePorts");
    if (!value) return ports;
    const auto comma = value->find(',');
    if (comma == std::string::npos) return ports;
    const auto command = parseInteger(value->substr(0, comma));
    const auto info = parseInteger(value->substr(comma + 1));
    if (!command || !info || *command < 1 || *command > 65535 || *info < 1 || *info > 65535)
        return ports;
    return {static_cast<std::uint16_t>(*command), static_cast<std::uint16_t>(*info)};
}

TfEthernet::TfEthernet(std::string host, MachinePorts ports)
    : host_(std::move(host)), ports_(ports), socket_(io_), alive_(std::make_shared<bool>(true)) {
    ethernetActive = false;
    ethernetError = 0;
    watchdog_.start([this] {
        while (!watchdog_.terminated()) {
            {
                std::unique_lock lock(wakeMutex_);
                wakeCondition_.wait(lock, [this] { return wake_ || watchdog_.terminated(); });
                wake_ = false;
            }
            if (watchdog_.terminated()) break;
            if (!connected_) connect();
        }
    });
}

TfEthernet::~TfEthernet() {
    alive_.reset();
    watchdog_.requestTerminate();
    {
        std::lock_guard lock(wakeMutex_);
        wake_ = true;
    }
    wakeCondition_.notify_all();
    watchdog_.join();
    std::error_code ignored;
    socket_.close(ignored);
    ethernetActive = false;
}

void TfEthernet::wakeWatchdog() {
    if (connected_) return;
    {
        std::lock_guard lock(wakeMutex_);
        wake_ = true;
    }
    wakeCondition_.notify_all();
}

bool TfEthernet::connect() {
    std::lock_guard lock(connectMutex_);
    if (connected_) return true;
    std::error_code ignored;
    socket_.close(ignored);
    const Outcome o = connectSocket(io_, socket_, host_, ports_.command);
    std::weak_ptr<bool> alive = alive_;
    if (o.error) {
        socket_.close(ignored);
        const int code = o.error.value();
        mainLoop().post([alive, code] {
            if (alive.lock()) ethernetError = code;
        });
        return false;
    }
    connected_ = true;
    mainLoop().post([this, alive] {
        if (alive.lock()) onConnect();
    });
    return true;
}

void TfEthernet::onConnect() {
    if (!connected_) return;
    getInfo();
    ethernetError = 0;
    ethernetActive = true;
    showStatusText(txt("Control_panel", "ethernetPolaczony"));
}

void TfEthernet::onError(const std::error_code& error) {
    ethernetError = error.value();
    disconnect();
}

void TfEthernet::disconnect() {
    {
        std::lock_guard lock(connectMutex_);
        std::error_code ignored;
        socket_.close(ignored);
        connected_ = false;
    }
    if (ethernetActive) showStatusText(txt("Control_panel", "ethernetRozlaczony"));
    ethernetActive = false;
}

int TfEthernet::Write(const std::string& s) {
    std::unique_lock lock(connectMutex_);
    auto fail = [&](const std::error_code& error, int code) {
        lock.unlock();
        onError(error);
        ethernetError = code;
        return code;
    };
    if (!connected_) return fail(asio::error::not_connected, ethernetNoEcho);
    drainPending(socket_);
    if (const Outcome o = writeAll(io_, socket_, s); o.error) return fail(o.error, ethernetNoEcho);
    // Room for more than the command: an echo that is too long is seen as such
    // and its surplus does not shift the replies that follow.
    std::string echo(s.size() + 256, '\0');
    const Outcome o = readAtLeast(io_, socket_, asio::buffer(echo), s.size());
    if (o.bytes == 0) return fail(o.error, ethernetNoEcho);
    if (o.bytes < s.size()) return fail(o.error, ethernetEchoLength);
    if (o.bytes > s.size()) {
        drainPending(socket_);
        ethernetError = ethernetEchoLength;
        return ethernetEchoLength;
    }
    echo.resize(s.size());
    std::string expected = s;
    if (expected[0] >= 'a' && expected[0] <= 'z') expected[0] = static_cast<char>(expected[0] - 32);
    if (echo != expected) {
        ethernetError = ethernetEchoDiffers;
        return ethernetEchoDiffers;
    }
    return 0;
}

bool TfEthernet::GetStatus(ReplyBlock& block) {
    std::unique_lock lock(connectMutex_);
    auto fail = [&](const std::error_code& error) {
        lock.unlock();
        onError(error);
        ethernetError = ethernetStatusFailed;
        return false;
    };
    if (!connected_) return fail(asio::error::not_connected);
    block.fill(0);
    drainPending(socket_);
    if (const Outcome o = writeAll(io_, socket_, "SX"); o.error) return fail(o.error);
    // The layout needs 104 bytes (112 from firmware 7 on); what else of the
    // block has already arrived is taken with it.
    const std::size_t need = (fwMajor >= 7 ? 8 : 0) + 104;
    const Outcome o = readAtLeast(io_, socket_, asio::buffer(block.data(), 256), need);
    if (o.error || o.bytes < need) return fail(o.error ? o.error : asio::error::eof);
    std::size_t have = o.bytes;
    std::error_code error;
    const std::size_t more = std::min<std::size_t>(socket_.available(error), 256 - have);
    if (more > 0) socket_.read_some(asio::buffer(block.data() + have, more), error);
    ethernetError = 0;
    return true;
}

void TfEthernet::getInfo() {
    asio::io_context io;
    tcp::socket socket(io);
    std::string reply;
    if (!connectSocket(io, socket, host_, ports_.info).error &&
        !writeAll(io, socket, "HTTP").error) {
        std::array<char, 256> buffer{};
        std::size_t have = 0;
        while (have < buffer.size()) {
            const Outcome o = withDeadline(io, socket, exchangeTimeout, [&](auto handler) {
                socket.async_read_some(asio::buffer(buffer.data() + have, buffer.size() - have),
                                       handler);
            });
            have += o.bytes;
            if (o.error) break;
            const std::string_view text(buffer.data(), have);
            const auto v = text.find("ver");
            if (text.find("VARDIMON") != std::string_view::npos && v != std::string_view::npos &&
                v + 6 <= text.size())
                break;
        }
        reply.assign(buffer.data(), have);
    }
    std::error_code ignored;
    socket.close(ignored);
    // No reply leaves the product strings as they were, and no firmware version.
    if (reply.empty()) ethernetError = ethernetNoInformation;
    decodeEthernetInfo(reply);
}

} // namespace korvane
