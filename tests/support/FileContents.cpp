// Binary streams, so line ends and NUL bytes pass through untouched.
#include "tests/support/FileContents.h"

#include <filesystem>
#include <fstream>
#include <iterator>

std::string ReadFileContents(const std::string& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileContents(const std::string& FileName, std::string_view Bytes) {
    const std::filesystem::path folder = std::filesystem::path(FileName).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::ofstream out(FileName, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}
