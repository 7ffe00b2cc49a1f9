#include "SimServer.h"

#include <sstream>

#include <sys/socket.h>

namespace korvane::sim {

using asio::ip::tcp;

namespace {

enum { commandKind, infoKind, controlKind };

void bindTo(tcp::acceptor& acceptor, const std::string& address, std::uint16_t port) {
    const tcp::endpoint endpoint(asio::ip::make_address(address), port);
    acceptor.open(endpoint.protocol());
    acceptor.set_option(tcp::acceptor::reuse_address(true));
    acceptor.bind(endpoint);
    acceptor.listen();
}

} // namespace

SimServer::SimServer(std::shared_ptr<SimMachine> machine, SimPorts ports,
                     const std::string& address)
    : machine_(std::move(machine)), command_(io_), info_(io_), control_(io_) {
    bindTo(command_, address, ports.command);
    bindTo(info_, address, ports.info);
    if (ports.withControl) bindTo(control_, address, ports.control);
    acceptors_.emplace_back([this] { acceptLoop(command_, commandKind); });
    acceptors_.emplace_back([this] { acceptLoop(info_, infoKind); });
    if (ports.withControl) acceptors_.emplace_back([this] { acceptLoop(control_, controlKind); });
}

SimServer::~SimServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    // Shutting a listening socket down wakes the thread blocked in accept.
    for (auto* acceptor : {&command_, &info_, &control_})
        if (acceptor->is_open()) ::shutdown(acceptor->native_handle(), SHUT_RDWR);
    for (auto& t : acceptors_) t.join();
    std::error_code ignored;
    command_.close(ignored);
    info_.close(ignored);
    control_.close(ignored);
    shutDown(false);
    std::list<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(threads_);
    }
    for (auto& t : threads) t.join();
}

std::uint16_t SimServer::commandPort() const {
    return command_.local_endpoint().port();
}
std::uint16_t SimServer::infoPort() const {
    return info_.local_endpoint().port();
}
std::uint16_t SimServer::controlPort() const {
    return control_.is_open() ? control_.local_endpoint().port() : 0;
}

void SimServer::dropConnections() {
    shutDown(true);
}

void SimServer::shutDown(bool commandsOnly) {
    std::lock_guard lock(mutex_);
    for (auto& open : open_)
        if (auto socket = open.socket.lock(); socket && (open.command || !commandsOnly)) {
            std::error_code ignored;
            socket->shutdown(tcp::socket::shutdown_both, ignored);
        }
}

void SimServer::acceptLoop(tcp::acceptor& acceptor, int kind) {
    for (;;) {
        auto socket = std::make_shared<tcp::socket>(io_);
        std::error_code error;
        acceptor.accept(*socket, error);
        if (error) return;
        socket->set_option(tcp::no_delay(true), error);
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        open_.remove_if([](const OpenSocket& open) { return open.socket.expired(); });
        open_.push_back({socket, kind == commandKind});
        threads_.emplace_back([this, socket, kind] {
            if (kind == commandKind)
                serveCommands(socket);
            else if (kind == infoKind)
                serveInfo(socket);
            else
                serveControl(socket);
        });
    }
}

void SimServer::serveCommands(std::shared_ptr<tcp::socket> socket) {
    std::string pending;
    char chunk[512];
    for (;;) {
        std::error_code error;
        const std::size_t got = socket->read_some(asio::buffer(chunk), error);
        if (error) break;
        pending.append(chunk, got);
        std::string reply;
        std::size_t at = 0;
        bool drop = false;
        while (at < pending.size()) {
            const std::string_view rest(pending.data() + at, pending.size() - at);
            const std::size_t length = machine_->commandLength(rest);
            if (length == 0 || length > rest.size()) break;
            if (machine_->takeDrop()) {
                drop = true;
                break;
            }
            const std::string_view command = rest.substr(0, length);
            const std::size_t replied = reply.size();
            if (command == "SX")
                reply += machine_->statusBlock();
            else
                reply += machine_->execute(command);
            at += length;
            if (machine_->takeDropEcho()) {
                // The machine took the command; its echo is lost with the connection.
                reply.resize(replied);
                drop = true;
                break;
            }
        }
        pending.erase(0, at);
        if (!reply.empty()) asio::write(*socket, asio::buffer(reply), error);
        if (drop || error) break;
    }
    std::error_code ignored;
    socket->shutdown(tcp::socket::shutdown_both, ignored);
    socket->close(ignored);
}

void SimServer::serveInfo(std::shared_ptr<tcp::socket> socket) {
    char request[4];
    std::error_code error;
    asio::read(*socket, asio::buffer(request), error);
    if (!error && std::string_view(request, 4) == "HTTP")
        asio::write(*socket, asio::buffer(machine_->infoBlock()), error);
    std::error_code ignored;
    socket->shutdown(tcp::socket::shutdown_both, ignored);
    socket->close(ignored);
}

void SimServer::serveControl(std::shared_ptr<tcp::socket> socket) {
    asio::streambuf input;
    for (;;) {
        std::error_code error;
        asio::read_until(*socket, input, '\n', error);
        if (error) break;
        std::istream in(&input);
        std::string line;
        std::getline(in, line);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string reply = control(line) + "\n";
        asio::write(*socket, asio::buffer(reply), error);
        if (error) break;
    }
    std::error_code ignored;
    socket->close(ignored);
}

std::string SimServer::control(const std::string& line) {
    std::istringstream words(line);
    std::string verb, arg;
    words >> verb;
    auto onOff = [&]() {
        words >> arg;
        return arg == "on";
    };
    if (verb == "start")
        machine_->pressStart();
    else if (verb == "stop")
        machine_->pressStop();
    else if (verb == "continue")
        machine_->pressContinue();
    else if (verb == "overload")
        machine_->spindleOverload();
    else if (verb == "interrupt")
        machine_->interrupt();
    else if (verb == "temperature") {
        float degrees = 0;
        if (!(words >> degrees)) return "error: temperature needs degrees";
        machine_->setHeadTemperature(degrees);
    } else if (verb == "drive-error") {
        int code = 1, mask = 1;
        words >> code >> mask;
        machine_->driveError(code, mask);
    } else if (verb == "inverter-fault")
        machine_->inverterFault();
    else if (verb == "clear")
        machine_->clearFaults();
    else if (verb == "busy") {
        const bool on = onOff();
        machine_->setFaults([on](SimFaults& f) { f.busyForever = on; });
    } else if (verb == "unsettled") {
        const bool on = onOff();
        machine_->setFaults([on](SimFaults& f) { f.unsettled = on; });
    } else if (verb == "wrong-echo") {
        int n = 0;
        words >> n;
        machine_->setFaults([n](SimFaults& f) { f.wrongEchoIn = n; });
    } else if (verb == "long-echo") {
        int n = 0;
        words >> n;
        machine_->setFaults([n](SimFaults& f) { f.longEchoIn = n; });
    } else if (verb == "drop-echo") {
        int n = 0;
        words >> n;
        machine_->setFaults([n](SimFaults& f) { f.dropEchoIn = n; });
    } else if (verb == "drop")
        dropConnections();
    else if (verb == "drop-after") {
        int n = 0;
        words >> n;
        machine_->setFaults([n](SimFaults& f) { f.dropIn = n; });
    } else if (verb == "plate") {
        double mm = 0;
        if (!(words >> mm)) return "error: plate needs the height in mm";
        machine_->setPlateTop(mm);
    } else if (verb == "reference") {
        std::array<double, 3> mm{};
        if (!(words >> mm[0] >> mm[1] >> mm[2])) return "error: reference needs X Y Z in mm";
        machine_->setReference(mm);
    } else if (verb == "measure-request") {
        machine_->requestToolMeasurement();
    } else if (verb == "status") {
        const auto s = machine_->snapshot();
        std::ostringstream out;
        out << "position " << s.position[0] << ' ' << s.position[1] << ' ' << s.position[2] << ' '
            << s.position[3] << " origin " << s.origin[0] << ' ' << s.origin[1] << ' '
            << s.origin[2] << " status 0x" << std::hex << s.status << std::dec << " buffered "
            << s.buffered << " executed " << s.executedRecords << " overflows " << s.overflows
            << " spindle "
            << (s.spindleOn ? (s.spindleAtSpeed ? "at-speed" : "spinning-up") : "off") << " head "
            << s.headTemperature << '/' << s.headSetTemperature;
        return out.str();
    } else if (verb == "flush")
        machine_->flushTrace();
    else
        return "error: unknown request " + verb;
    return "ok";
}

} // namespace korvane::sim
