#include "LogFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace trelk {

namespace fs = std::filesystem;

namespace {

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

LogWriteResult Failed(const std::string& path, int error) {
    return {false, "Cannot write to log file " + path + ": " + ErrorText(error)};
}

} // namespace

LogWriteResult LogFileWriter::CreateFolder(const std::string& folder) const {
    std::error_code error;
    if (fs::is_directory(folder, error) || fs::create_directory(folder, error) ||
        fs::is_directory(folder, error)) {
        return {};
    }
    return {false, "Cannot create directory: " + folder};
}

LogWriteResult LogFileWriter::Append(const std::string& path, const std::string& text) const {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return Failed(path, errno);
    }
    long before = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        before = std::ftell(file);
    }
    errno = 0;
    const std::size_t written = std::fwrite(text.data(), 1, text.size(), file);
    bool ok = written == text.size() && std::fflush(file) == 0;
    int error = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok) {
        return {};
    }
    if (before >= 0) {
        std::error_code ignored;
        fs::resize_file(path, static_cast<std::uintmax_t>(before), ignored);
    }
    return Failed(path, error != 0 ? error : EIO);
}

} // namespace trelk
