#include "SimulatorProgram.h"

#include <asio.hpp>
#include <gtest/gtest.h>

#include <regex>

namespace korvane::test {

namespace {

std::vector<std::string> commandLine(const std::vector<std::string>& options) {
    std::vector<std::string> argv{std::string(KORVANE_EXE_DIR) + "/korvane3d-sim",
                                  "--port",
                                  "0",
                                  "--info-port",
                                  "0",
                                  "--control-port",
                                  "0"};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

} // namespace

SimulatorProgram::SimulatorProgram(const std::vector<std::string>& options)
    : process_(commandLine(options)) {
    const std::string first = process_.readLine(std::chrono::seconds(60)).value_or("");
    std::smatch m;
    if (!std::regex_search(
            first, m, std::regex("command port (\\d+), info port (\\d+), control port (\\d+)"))) {
        ADD_FAILURE() << "the simulator did not name its ports: " << first << process_.err();
        return;
    }
    ports.command = static_cast<std::uint16_t>(std::stoi(m[1]));
    ports.info = static_cast<std::uint16_t>(std::stoi(m[2]));
    control_ = static_cast<std::uint16_t>(std::stoi(m[3]));
}

struct SimulatorProgram::Control {
    asio::io_context io;
    asio::ip::tcp::socket socket{io};
    asio::streambuf reply;
};

SimulatorProgram::~SimulatorProgram() = default;

std::string SimulatorProgram::ask(const std::string& line) {
    if (!connection_) {
        connection_ = std::make_unique<Control>();
        connection_->socket.connect({asio::ip::make_address("127.0.0.1"), control_});
    }
    asio::write(connection_->socket, asio::buffer(line + "\n"));
    asio::streambuf& reply = connection_->reply;
    asio::read_until(connection_->socket, reply, '\n');
    std::istream in(&reply);
    std::string text;
    std::getline(in, text);
    return text;
}

} // namespace korvane::test
