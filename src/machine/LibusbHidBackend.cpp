#include "machine/LibusbHidBackend.h"

#include <libusb.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace korvane {

namespace {

constexpr unsigned timeoutMs = 1000;
constexpr std::uint16_t englishUs = 0x0409;
// Host to device, class request, to the interface.
constexpr std::uint8_t setReportRequestType = 0x21;

// libusb results as the error codes of the Windows HID layer.
int hidError(int libusbError) {
    switch (libusbError) {
    case LIBUSB_SUCCESS:
        return 0;
    case LIBUSB_ERROR_IO:
    case LIBUSB_ERROR_PIPE:
    case LIBUSB_ERROR_OVERFLOW:
        return hidErrorNotFunctioning;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
        return hidErrorNotConnected;
    case LIBUSB_ERROR_ACCESS:
        return 5; // access denied
    case LIBUSB_ERROR_TIMEOUT:
        return 1460; // timeout
    case LIBUSB_ERROR_BUSY:
        return 170; // resource in use
    default:
        return 1; // invalid function
    }
}

struct OpenDevice {
    libusb_device_handle* handle = nullptr;
    int interfaceNumber = 0;
    int outEndpoint = -1;
};

class LibusbHidBackend final : public HidBackend {
  public:
    LibusbHidBackend() {
        if (libusb_init(&context_) != 0) {
            context_ = nullptr;
            return;
        }
        if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) &&
            libusb_hotplug_register_callback(
                context_,
                static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                                  LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
                LIBUSB_HOTPLUG_NO_FLAGS, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
                LIBUSB_HOTPLUG_MATCH_ANY, &LibusbHidBackend::hotplug, this, &hotplugHandle_) == 0) {
            hotplugRegistered_ = true;
            events_ = std::thread([this] {
                while (!stop_) {
                    timeval tv{0, 100000};
                    libusb_handle_events_timeout_completed(context_, &tv, nullptr);
                }
            });
        }
    }

    ~LibusbHidBackend() override {
        if (!context_) return;
        if (hotplugRegistered_) libusb_hotplug_deregister_callback(context_, hotplugHandle_);
        stop_ = true;
        if (events_.joinable()) events_.join();
        closeAll();
        libusb_exit(context_);
    }

    std::vector<HidDeviceInfo> enumerate() override {
        std::lock_guard lock(mutex_);
        closeAll();
        devices_.clear();
        std::vector<HidDeviceInfo> result;
        if (!context_) return result;
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context_, &list);
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device* device = list[i];
            const int interfaceNumber = hidInterface(device);
            if (interfaceNumber < 0) continue;
            HidDeviceInfo info;
            info.id = std::to_string(libusb_get_bus_number(device)) + ":" +
                      std::to_string(libusb_get_device_address(device)) + ":" +
                      std::to_string(interfaceNumber);
            libusb_device_descriptor descriptor{};
            libusb_get_device_descriptor(device, &descriptor);
            libusb_device_handle* handle = nullptr;
            if (libusb_open(device, &handle) == 0) {
                info.manufacturer = ascii(handle, descriptor.iManufacturer);
                info.product = ascii(handle, descriptor.iProduct);
                info.serial = ascii(handle, descriptor.iSerialNumber);
                libusb_close(handle);
            } else {
                info.stringsOk = false;
            }
            devices_[info.id] = libusb_ref_device(device);
            result.push_back(info);
        }
        if (list) libusb_free_device_list(list, 1);
        return result;
    }

    int open(const std::string& id) override {
        std::lock_guard lock(mutex_);
        if (open_.count(id)) return 0;
        const auto found = devices_.find(id);
        if (found == devices_.end()) return hidErrorNotConnected;
        OpenDevice d;
        d.interfaceNumber = std::stoi(id.substr(id.rfind(':') + 1));
        if (const int e = libusb_open(found->second, &d.handle); e != 0) return hidError(e);
        libusb_set_auto_detach_kernel_driver(d.handle, 1);
        if (const int e = libusb_claim_interface(d.handle, d.interfaceNumber); e != 0) {
            libusb_close(d.handle);
            return hidError(e);
        }
        d.outEndpoint = outEndpoint(found->second, d.interfaceNumber);
        open_[id] = d;
        return 0;
    }

    int writeReport(const std::string& id, const HidReport& report) override {
        std::lock_guard lock(mutex_);
        const auto found = open_.find(id);
        if (found == open_.end()) return hidErrorNotConnected;
        OpenDevice& d = found->second;
        // Report id 0: the device receives the 16 bytes after it.
        unsigned char data[16];
        std::copy(report.begin() + 1, report.end(), data);
        int e;
        if (d.outEndpoint >= 0) {
            int sent = 0;
            e = libusb_interrupt_transfer(d.handle, static_cast<unsigned char>(d.outEndpoint), data,
                                          sizeof data, &sent, timeoutMs);
        } else {
            const int sent = libusb_control_transfer(d.handle, setReportRequestType, 0x09, 0x0200,
                                                     static_cast<std::uint16_t>(d.interfaceNumber),
                                                     data, sizeof data, timeoutMs);
            e = sent < 0 ? sent : 0;
        }
        return hidError(e);
    }

    int getIndexedString(const std::string& id, int index, HidBlock& block) override {
        std::lock_guard lock(mutex_);
        const auto found = open_.find(id);
        if (found == open_.end()) return hidErrorNotConnected;
        unsigned char raw[258]{};
        const int got = libusb_get_string_descriptor(
            found->second.handle, static_cast<std::uint8_t>(index), englishUs, raw, sizeof raw);
        if (got < 0) return hidError(got);
        // The block is the descriptor's payload after its two header bytes.
        block.fill(0);
        for (int i = 2; i < got && i - 2 < static_cast<int>(block.size()); ++i)
            block[static_cast<std::size_t>(i - 2)] = raw[i];
        return 0;
    }

    void setDeviceChangeHandler(std::function<void()> handler) override {
        std::lock_guard lock(handlerMutex_);
        handler_ = std::move(handler);
    }

  private:
    static int LIBUSB_CALL hotplug(libusb_context*, libusb_device*, libusb_hotplug_event,
                                   void* self) {
        auto* backend = static_cast<LibusbHidBackend*>(self);
        std::lock_guard lock(backend->handlerMutex_);
        if (backend->handler_) backend->handler_();
        return 0;
    }

    static int hidInterface(libusb_device* device) {
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(device, &config) != 0) return -1;
        int found = -1;
        for (int i = 0; i < config->bNumInterfaces && found < 0; ++i)
            for (int a = 0; a < config->interface[i].num_altsetting; ++a)
                if (config->interface[i].altsetting[a].bInterfaceClass == LIBUSB_CLASS_HID)
                    found = config->interface[i].altsetting[a].bInterfaceNumber;
        libusb_free_config_descriptor(config);
        return found;
    }

    static int outEndpoint(libusb_device* device, int interfaceNumber) {
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(device, &config) != 0) return -1;
        int found = -1;
        for (int i = 0; i < config->bNumInterfaces; ++i) {
            const libusb_interface_descriptor& alt = config->interface[i].altsetting[0];
            if (alt.bInterfaceNumber != interfaceNumber) continue;
            for (int e = 0; e < alt.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = alt.endpoint[e];
                if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_OUT &&
                    (ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) == LIBUSB_TRANSFER_TYPE_INTERRUPT)
                    found = ep.bEndpointAddress;
            }
        }
        libusb_free_config_descriptor(config);
        return found;
    }

    static std::string ascii(libusb_device_handle* handle, std::uint8_t index) {
        if (index == 0) return {};
        unsigned char text[255]{};
        const int n = libusb_get_string_descriptor_ascii(handle, index, text, sizeof text);
        return n > 0 ? std::string(reinterpret_cast<char*>(text), static_cast<std::size_t>(n))
                     : std::string();
    }

    void closeAll() {
        for (auto& [id, d] : open_) {
            libusb_release_interface(d.handle, d.interfaceNumber);
            libusb_close(d.handle);
        }
        open_.clear();
        for (auto& [id, device] : devices_) libusb_unref_device(device);
        devices_.clear();
    }

    libusb_context* context_ = nullptr;
    libusb_hotplug_callback_handle hotplugHandle_{};
    bool hotplugRegistered_ = false;
    std::atomic<bool> stop_{false};
    std::thread events_;
    std::mutex mutex_;
    std::mutex handlerMutex_;
    std::function<void()> handler_;
    std::map<std::string, libusb_device*> devices_;
    std::map<std::string, OpenDevice> open_;
};

} // namespace

std::unique_ptr<HidBackend> makeLibusbHidBackend() {
    return std::make_unique<LibusbHidBackend>();
}

} // namespace korvane
