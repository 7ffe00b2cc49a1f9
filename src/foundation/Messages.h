#pragma once

#include "foundation/UserInterface.h"

#include <filesystem>
#include <string>

// Messages to the user, file deletion with report, the report and log files,
// notifications and the manual.
namespace korvane {

// A modal message box; an identical one already on screen is not shown again.
// An empty title gives "Error" or "Information" in the interface language.
void showMessage(const std::string& text, bool error, const std::string& title = {});

Button askConfirmation(const std::string& text, Buttons buttons);

// Deletes one file; a missing file or a file-system error is reported and
// gives false.
bool deleteFileReported(const std::filesystem::path& file);

// Deletes every file folder/mask.extension (folder/mask when the extension is
// empty); the mask may hold * and ?. No messages.
void deleteFilesByMask(const std::filesystem::path& folder, const std::string& mask,
                       const std::string& extension);

// "1023b", "1KB", "2KB", "1MB" (rounded halves to even); empty for a missing file.
std::string formatFileSize(const std::filesystem::path& file);
std::string formatByteCount(std::uintmax_t length);

// Appends "date   time   text" to Raport.txt when loggerOn is set (in the
// file's form, see appendFileText); false when the line could not be written.
bool writeReportLine(const std::string& text);

// Writes one value into the machining log Korvane3D.log (an INI file); false
// when the file could not be written.
bool writeLogValue(const std::string& section, const std::string& key, const std::string& value);

// Sends a notification to a computer: a desktop notification when the recipient
// (its first 40 characters) names this computer. Shows the failure. Returns the
// result code (0 success).
int notifyNetSend(const std::string& recipient, const std::string& text);

// Opens the manual in the interface language, else the US one; the topic does
// not change which file opens.
void openManual(const std::string& topic);
std::filesystem::path manualFile(const std::string& languageCode);
// The manual openManual opens: the interface language's, else the US one (the
// US path also when neither exists).
std::filesystem::path findManual();

} // namespace korvane
