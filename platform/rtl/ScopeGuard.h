// Scope guards: the end of a pair (EndUpdate, EnableControls, a flag reset)
// runs when the scope is left, by return or by exception. Guards compare the
// count of exceptions in flight with the count at their construction, so a
// guard inside a destructor that runs during unwinding still sees its own
// scope as left normally.
#pragma once

#include <exception>
#include <utility>

// Tells whether the scope that made it is being left through an exception.
class TUnwindingTest {
public:
    TUnwindingTest() : FUncaught(std::uncaught_exceptions()) {}
    // True while an exception thrown since construction passes through.
    bool Unwinding() const { return std::uncaught_exceptions() > FUncaught; }

private:
    int FUncaught;
};

// Runs EndAction once, when the guard goes.
// Left normally, an exception from EndAction propagates to the caller.
// Left through an exception, an exception from EndAction is swallowed: the one
// in flight is the one to report, and a second would end the program.
template <typename EndAction> class TScopeGuard {
public:
    explicit TScopeGuard(EndAction End) : FEnd(std::move(End)) {}
    ~TScopeGuard() noexcept(false) {
        if (!FScope.Unwinding()) {
            FEnd();
            return;
        }
        try {
            FEnd();
        } catch (...) {
        }
    }
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;

private:
    EndAction FEnd;
    TUnwindingTest FScope;
};

// Holds a unit's counted start-up for as long as it lives: Initialize when
// made, Finalize when it goes (the unit frees its objects at the last one).
template <void (*Initialize)(), void (*Finalize)()> class TUnitStartup {
public:
    TUnitStartup() { Initialize(); }
    ~TUnitStartup() { Finalize(); }
    TUnitStartup(const TUnitStartup&) = delete;
    TUnitStartup& operator=(const TUnitStartup&) = delete;
};
