// What the word-processor tests share: a recorder of what the shell would
// open, and the word processor itself as the judge of a document's text.
#pragma once

#include "platform/os/Shell.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/FileContents.h"

// Records the targets instead of starting programs while it lives, and
// answers Answer.
class LaunchRecorder {
public:
    LaunchRecorder()
        : FPrevious(SetShellLauncher([this](const std::string& Target) {
              Launched.push_back(Target);
              return Answer;
          })) {}
    ~LaunchRecorder() { SetShellLauncher(FPrevious); }
    LaunchRecorder(const LaunchRecorder&) = delete;
    LaunchRecorder& operator=(const LaunchRecorder&) = delete;

    std::vector<std::string> Launched;
    int Answer = SE_SUCCESS;

private:
    TShellLauncher FPrevious;
};

// The document's text as the word processor reads it (converted headless to
// plain text in a profile of its own); nullopt, with the test skipped, when
// soffice is missing, and a failure instead under CI=true.
inline std::optional<std::string> TextAsTheWordProcessorReadsIt(const std::string& Document) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
        const char* ci = std::getenv("CI");
        if (ci && std::string(ci) == "true") ADD_FAILURE() << "soffice is missing (libreoffice-writer-nogui)";
        return std::nullopt;
    }
    TScratchFolder work;
    const std::string command = "cd '" + work.Path() + "' && soffice -env:UserInstallation=file://" + work.Path() +
                                "profile --headless --convert-to txt:Text --outdir '" + work.Path() + "out' '" +
                                Document + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::string stem = Document.substr(Document.find_last_of('/') + 1);
    stem = stem.substr(0, stem.find_last_of('.'));
    return ReadFileContents(work / ("out/" + stem + ".txt"));
}
