// korvane3d-sim: a simulated Vardimon machine on TCP ports.
#include "SimMachine.h"
#include "SimServer.h"

#include "machine/FirmwareVersion.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

namespace {

const char* usage =
    "usage: korvane3d-sim [--port N] [--info-port N] [--control-port N] [--product TEXT]\n"
    "                     [--serial TEXT] [--firmware X.Y.Z] [--trace FILE] [--time-scale F]\n"
    "                     [--buffer N] [--size-class L|Y]\n"
    "A port of 0 takes a free port; the ports in use are printed on the first line.\n";

volatile std::sig_atomic_t stopSignal = 0;
void onSignal(int) {
    stopSignal = 1;
}

bool parsePort(const std::string& text, std::uint16_t& port) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || v < 0 || v > 65535) return false;
    port = static_cast<std::uint16_t>(v);
    return true;
}

// The information block shows the version as three digits: major 0 to 9, minor 0 to 99.
bool parseFirmware(const std::string& text, korvane::sim::SimConfig& c) {
    const auto version = korvane::parseFirmwareVersion(text);
    if (!version || version->major > 9 || version->minor > 99) return false;
    c.fwMajor = version->major;
    c.fwMinor = version->minor;
    c.fwBuild = version->build;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace korvane::sim;
    SimConfig config;
    SimPorts ports;
    for (int i = 1; i < argc; ++i) {
        const std::string_view flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::cout << usage;
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << "korvane3d-sim: " << flag << " needs a value\n" << usage;
            return 2;
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (flag == "--port")
            ok = parsePort(value, ports.command);
        else if (flag == "--info-port")
            ok = parsePort(value, ports.info);
        else if (flag == "--control-port")
            ok = ports.withControl = parsePort(value, ports.control);
        else if (flag == "--product")
            config.product = value;
        else if (flag == "--serial")
            config.serial = value;
        else if (flag == "--firmware")
            ok = parseFirmware(value, config);
        else if (flag == "--trace")
            config.trace = value;
        else if (flag == "--time-scale") {
            char* end = nullptr;
            config.timeScale = std::strtod(value.c_str(), &end);
            ok = end != value.c_str() && *end == '\0' && config.timeScale > 0;
        } else if (flag == "--buffer") {
            // The buffer reports itself full 64 records before its end, and
            // a job starts at its 17th record: a smaller one never starts.
            config.bufferCapacity = std::strtoul(value.c_str(), nullptr, 10);
            ok = config.bufferCapacity >= 64 + 17;
        } else if (flag == "--size-class") {
            ok = value == "L" || value == "Y";
            if (ok) config.sizeClass = value[0];
        } else {
            std::cerr << "korvane3d-sim: unknown option " << flag << "\n" << usage;
            return 2;
        }
        if (!ok) {
            std::cerr << "korvane3d-sim: bad value for " << flag << ": " << value << "\n";
            return 2;
        }
    }
    auto machine = std::make_shared<SimMachine>(config);
    try {
        SimServer server(machine, ports);
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::cout << "korvane3d-sim " << config.product << " firmware " << config.fwMajor << "."
                  << config.fwMinor << "." << config.fwBuild << ": command port "
                  << server.commandPort() << ", info port " << server.infoPort()
                  << ", control port " << server.controlPort() << std::endl;
        std::signal(SIGPIPE, SIG_IGN);
        while (!stopSignal) {
            struct timespec pause {
                0, 50'000'000
            };
            nanosleep(&pause, nullptr);
            machine->flushTrace();
        }
    } catch (const std::system_error& e) {
        std::cerr << "korvane3d-sim: " << e.what() << "\n";
        return 1;
    }
    machine->flushTrace();
    return 0;
}
