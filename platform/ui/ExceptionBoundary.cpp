// The exception boundary: whatever a handler throws stops here, at the edge
// of the platform's loops and of Qt's callbacks, and is reported through the
// application's handler (or to the error stream without one). Where no box may
// open, failures wait in a list and are reported from the queue later.
#include "platform/ui/MessageQueue.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/private/MessageQueue_p.h"

#include <deque>
#include <exception>
#include <iostream>
#include <utility>

using namespace platform_ui;

namespace {

struct BoundaryState {
    TExceptionHandler Handler;
    int ReportingLater = 0;
    std::deque<std::exception_ptr> LateFailures;
};

BoundaryState& State() {
    static BoundaryState state;
    return state;
}

void DefaultExceptionHandler(const std::exception& e) {
    std::cerr << e.what() << std::endl;
}

} // namespace

namespace platform_ui {

// Every failure caught where no box could open, oldest first. A loop running
// inside such a place leaves them for the message posted when it is left.
void ReportLateFailures() {
    auto& failures = State().LateFailures;
    while (!failures.empty() && State().ReportingLater == 0) {
        const std::exception_ptr failure = failures.front();
        failures.pop_front();
        RunGuarded([&] { std::rethrow_exception(failure); });
    }
}
ReportFailuresLater::ReportFailuresLater() {
    ++State().ReportingLater;
}

ReportFailuresLater::~ReportFailuresLater() {
    auto& state = State();
    if (--state.ReportingLater == 0 && !state.LateFailures.empty()) PostMessage(nullptr, WM_REPORTFAILURES, 0, 0);
}
} // namespace platform_ui

TExceptionHandler SetExceptionHandler(TExceptionHandler Handler) {
    TExceptionHandler previous = State().Handler;
    State().Handler = std::move(Handler);
    return previous;
}

void ReportException(const std::exception& E) {
    if (dynamic_cast<const EAbort*>(&E)) return;
    auto& state = State();
    if (state.ReportingLater > 0) {
        const std::exception_ptr caught = std::current_exception();
        state.LateFailures.push_back(caught ? caught : std::make_exception_ptr(Exception(E.what())));
        return;
    }
    try {
        const TExceptionHandler handler = state.Handler;
        if (handler)
            handler(E);
        else
            DefaultExceptionHandler(E);
    } catch (const std::exception& inner) {
        // The handler itself failed; nothing may reach Qt.
        DefaultExceptionHandler(inner);
    } catch (...) {
    }
}

bool RunGuarded(const std::function<void()>& Action) {
    try {
        Action();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& e) {
        ReportException(e);
        return false;
    } catch (...) {
        ReportException(Exception("Unknown exception"));
        return false;
    }
}
