#include "foundation/Messages.h"

#include "foundation/IniFile.h"
#include "foundation/Interfejs.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <unistd.h>

namespace korvane {

namespace {

UserInterface* currentUserInterface = nullptr;

// Prints to standard error and answers No: the fallback before a front end is set.
class ConsoleUserInterface final : public UserInterface {
  public:
    void messageBox(const std::string& text, bool, const std::string& caption, bool) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    Button confirmation(const std::string& text, Buttons) override {
        std::fprintf(stderr, "%s [no]\n", text.c_str());
        return Button::No;
    }
};

std::string withAnsiFallback(const std::string& utf8) {
    if (auto bytes = toAnsi(utf8)) return *bytes;
    std::string ascii;
    for (unsigned char c : utf8)
        if (c < 0x80)
            ascii += static_cast<char>(c);
        else if ((c & 0xC0) != 0x80)
            ascii += '?';
    return ascii;
}

} // namespace

UserInterface& userInterface() {
    static ConsoleUserInterface console;
    return currentUserInterface ? *currentUserInterface : console;
}

void setUserInterface(UserInterface* ui) {
    currentUserInterface = ui;
}

void showMessage(const std::string& text, bool error, const std::string& title) {
    if (messageState.widoczny && messageState.tresc == text && messageState.blad == error &&
        messageState.tytul == title)
        return;
    messageState = komunikat_stan{true, text, error, title};
    const std::string caption = !title.empty() ? title : error ? "Error" : "Information";
    userInterface().messageBox(text, error, caption, texts && texts->arabski);
    messageState.widoczny = false;
}

Button askConfirmation(const std::string& text, Buttons buttons) {
    return userInterface().confirmation(text, buttons);
}

bool deleteFileReported(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        showMessage(txt("Other", "BrakPlikuDoUsuniecia") + "\n\r" + file.string(), true);
        return false;
    }
    if (!std::filesystem::remove(file, ec) || ec) {
        showMessage(txt("Other", "BladUsuwaniaPliku") + "\n\r" + "\n\r" +
                        txt("Other", "SzczegolyBledu") + ec.message(),
                    true);
        return false;
    }
    return true;
}

void deleteFilesByMask(const std::filesystem::path& folder, const std::string& mask,
                       const std::string& extension) {
    // Windows masks know only * and ?; anything else is literal.
    std::string pattern;
    for (char c : extension.empty() ? mask : mask + "." + extension) {
        if (c == '[' || c == '\\') pattern += '\\';
        pattern += c;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const std::string name = entry.path().filename().string();
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            std::filesystem::remove(entry.path(), ec);
    }
}

std::string formatByteCount(std::uintmax_t length) {
    if (length < 1024) return std::to_string(length) + "b";
    if (length < 1048576)
        return std::to_string(roundHalfEven(static_cast<long double>(length) / 1024)) + "KB";
    return std::to_string(roundHalfEven(static_cast<long double>(length) / 1048576)) + "MB";
}

std::string formatFileSize(const std::filesystem::path& file) {
    std::error_code ec;
    auto length = std::filesystem::file_size(file, ec);
    return ec ? std::string() : formatByteCount(length);
}

bool writeReportLine(const std::string& text) {
    if (!loggerOn) return true;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d   %H:%M:%S", &local);
    // One write of the whole line with O_APPEND: lines of concurrent writers
    // never interleave.
    const std::string line = withAnsiFallback(std::string(stamp) + "   " + text) + "\r\n";
    const auto path = dataFolder / "Raport.txt";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    return ::close(fd) == 0 && ok;
}

bool writeLogValue(const std::string& section, const std::string& key, const std::string& value) {
    IniFile log(dataFolder / "Korvane3D.log");
    log.writeString(section, key, value);
    return log.save();
}

int notifyNetSend(const std::string& recipient, const std::string& text) {
    if (recipient.empty()) return 0;
    const std::string to = recipient.substr(0, 40);
    // Messages reach only this computer's desktop; any other recipient is
    // answered as an unsupported request.
    const std::string here = computerName();
    if (!here.empty() && strcasecmp(to.c_str(), here.c_str()) == 0 &&
        showDesktopNotification(applicationTitle, text))
        return 0;
    constexpr int errorNotSupported = 50;
    showMessage(txt("Other", "bladNetSenda") + " " + to + "\r\n" + "\r\n" +
                    txt("Other", "ERROR_NOT_SUPPORTED"),
                true, "NET SEND");
    return errorNotSupported;
}

std::filesystem::path manualFile(const std::string& languageCode) {
    return exeFolder / "Help" / ("Korvane_QTV_manual_" + languageCode + ".pdf");
}

std::filesystem::path findManual() {
    std::filesystem::path file = manualFile(texts ? texts->skrotJez : "US");
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) file = manualFile("US");
    return file;
}

void openManual(const std::string& /*topic*/) {
    const std::filesystem::path file = findManual();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        showMessage(txt("Main_window", "msgBrakPlikuInstrukcji") + "\r\n" + file.string(), true);
        return;
    }
    if (!openDocument(file.string()))
        showMessage(txt("Main_window", "msgBrakAcrobatReadera"), true);
}

} // namespace korvane
