// Keeps a second copy of the program from starting. The first copy claims a
// name made from the title (and the user's settings folder, so separate
// CORVANTA_HOME worlds do not meet); a later copy finds it, posts it a message
// number and ends. Usable before any window or application object exists.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Posts Msg to the copy that listens under Title. True when one was found and
// took the message: the caller is the second copy and should end.
bool PostToRunningInstance(const std::string& Title, uint32_t Msg);

class TSingleInstance {
public:
    explicit TSingleInstance(std::string Title);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // Claims the title. False when another copy holds it already (two copies
    // started at the same moment: only one of them wins here).
    bool Listen();
    bool Listening() const;
    const std::string& Title() const { return FTitle; }

    // Receives each posted message number. Once the application object exists
    // the event loop delivers messages by itself.
    std::function<void(uint32_t Msg)> OnMessage;

    // Delivers the messages that have arrived, waiting up to TimeoutMs for the
    // first one; for callers that run no event loop. Answers how many came.
    int ProcessMessages(int TimeoutMs = 0);

private:
    struct TListener;
    std::string FTitle;
    std::unique_ptr<TListener> FListener;
};
