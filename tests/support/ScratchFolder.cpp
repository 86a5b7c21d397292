// Made by mkdtemp, so tests running at the same time never share a folder.
#include "tests/support/ScratchFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TScratchFolder::TScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvanta-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder from " + pattern);
    FPath = pattern + "/";
}

TScratchFolder::~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(FPath, ignored);
}
