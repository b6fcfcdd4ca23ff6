#include "errors/basErrorHandler.hpp"

#include <cstdio>
#include <fstream>

namespace almanoria {

namespace {

constexpr std::string_view kTab = "\t";

std::string TwoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

}  // namespace

void ErrObject::Catch(Long line) {
    const Failure failure = CurrentFailure();
    Number = failure.Number();
    Description = failure.Description();
    Line = line;
}

basErrorHandler::basErrorHandler(MessageBoxService& messageBox, const ClockService& clock,
                                 ProgramInfo program)
    : mMessageBox(messageBox), mClock(clock), mProgram(std::move(program)) {}

std::string basErrorHandler::MessageText(std::string_view procedureName,
                                         std::string_view extraText) const {
    std::string text;
    text.append("An error has occurred.").append(vbCrLf).append(vbCrLf);
    text.append("Product Name: ").append(kTab).append(mProgram.ProductName).append(vbCrLf);
    text.append("Application File:  ").append(kTab).append(mProgram.FileName).append(vbCrLf);
    text.append("Module: ").append(kTab).append(kTab).append(procedureName).append(vbCrLf);
    text.append("Line Number: ").append(kTab).append(std::to_string(Err.Line));
    text.append(vbCrLf).append(vbCrLf);
    text.append("Error Number: ").append(kTab).append(std::to_string(Err.Number)).append(vbCrLf);
    text.append("Error Description: ").append(kTab).append(Err.Description);
    text.append(vbCrLf).append(vbCrLf).append(vbCrLf);
    text.append(extraText).append(vbCrLf);
    return text;
}

std::string basErrorHandler::LogEntry(std::string_view procedureName) const {
    const LocalDateTime now = mClock.Now();
    const std::string separator = mClock.TimeSeparator();
    std::string entry;
    entry.append(TwoDigits(now.Day)).append("-").append(mClock.MonthAbbreviation(now.Month));
    entry.append("-").append(std::to_string(now.Year)).append("  ");
    entry.append(TwoDigits(now.Hour)).append(separator).append(TwoDigits(now.Minute));
    entry.append(separator).append(TwoDigits(now.Second)).append(vbCrLf);
    entry.append("Error logged by application: ").append(mProgram.FileName).append(vbCrLf);
    entry.append("In module: ").append(procedureName).append(vbCrLf);
    entry.append("At line: ").append(std::to_string(Err.Line)).append(vbCrLf);
    entry.append("Error Number: ").append(std::to_string(Err.Number)).append(vbCrLf);
    entry.append("Error Description: ").append(Err.Description).append(vbCrLf);
    entry.append(50, '-').append(vbCrLf);
    entry.append(vbCrLf);
    return entry;
}

void basErrorHandler::AppendToLog(std::string_view entry) const {
    // Opened for this one write only, so no other program is kept from the file.
    const std::string bytes = ToSystemCodePage(entry);
    std::ofstream log(LogPath(), std::ios::binary | std::ios::app);
    if (!log && !mProgram.LogFallbackDirectory.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(mProgram.LogFallbackDirectory, ignored);
        log.open(mProgram.LogFallbackDirectory / "error.log", std::ios::binary | std::ios::app);
    }
    log.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void basErrorHandler::HandleError(std::string_view procedureName, Boolean logFlag,
                                  std::string_view extraText, Boolean silentFlag) noexcept {
    // Every caller relies on this returning, so no step of it may stop the others.
    try {
        const std::string text = MessageText(procedureName, extraText);
        if (logFlag == vbTrue) {
            try {
                AppendToLog(LogEntry(procedureName));
            } catch (...) {
            }
        }
        if (silentFlag == vbFalse) {
            try {
                mMessageBox.ShowInformation(text, "Application Error");
            } catch (...) {
            }
        }
    } catch (...) {
    }
    Err.Clear();
}

}  // namespace almanoria
