#include "foundation/Messages.h"

#include "foundation/IniFile.h"
#include "foundation/Interfejs.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "platform/Desktop.h"
#include "platform/TextAppend.h"
#include "platform/Utf8.h"

#include <cstdio>
#include <ctime>
#include <fnmatch.h>

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

// The title of a box that names none: in the interface language once the
// catalogue is loaded.
std::string defaultTitle(bool error) {
    if (!texts || !texts->langOk) return error ? "Error" : "Information";
    return error ? txt("Universal", "txtBlad") : txt("Universal", "txtInformacja");
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
    const std::string caption = !title.empty() ? title : defaultTitle(error);
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
    // Without a data folder the report would land in whatever the working
    // directory is: refuse instead.
    if (dataFolder.empty()) return false;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d   %H:%M:%S", &local);
    return appendFileText(dataFolder / "Raport.txt", std::string(stamp) + "   " + text + "\r\n");
}

bool writeLogValue(const std::string& section, const std::string& key, const std::string& value) {
    if (dataFolder.empty()) return false;
    IniFile log(dataFolder / "Korvane3D.log");
    log.writeString(section, key, value);
    return log.save();
}

int notifyNetSend(const std::string& recipient, const std::string& text) {
    if (recipient.empty()) return 0;
    const std::string to(firstCharacters(recipient, 40));
    // Messages reach only this computer's desktop; any other recipient is
    // answered as an unsupported request.
    const std::string here = computerName();
    if (!here.empty() && sameText(to, here) && showDesktopNotification(applicationTitle, text))
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
