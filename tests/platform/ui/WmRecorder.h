// Message recording for the window-manager tests: windows of the class
// "WmRecorded" log every message they receive (sent or posted, wParam, lParam)
// and a test compares the log with a declared table of expected messages.
#pragma once

#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct WmRecord {
    HWND Wnd = nullptr;
    UINT Msg = 0;
    bool Posted = false;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};

enum class WmHow { Sent, Posted, Either };

// One expected message; an unset field matches anything.
struct WmExpected {
    WmExpected(UINT msg, WmHow how = WmHow::Either, std::optional<WPARAM> wParam = std::nullopt,
               std::optional<LPARAM> lParam = std::nullopt, HWND wnd = nullptr)
        : Msg(msg), How(how), WParam(wParam), LParam(lParam), Wnd(wnd) {}
    UINT Msg;
    WmHow How;
    std::optional<WPARAM> WParam;
    std::optional<LPARAM> LParam;
    HWND Wnd;
};

// Short forms for table rows: a sent or posted message with an optional wParam.
inline WmExpected Sent(UINT msg, std::optional<WPARAM> wParam = std::nullopt,
                       std::optional<LPARAM> lParam = std::nullopt, HWND wnd = nullptr) {
    return {msg, WmHow::Sent, wParam, lParam, wnd};
}
inline WmExpected Posted(UINT msg, std::optional<WPARAM> wParam = std::nullopt,
                         std::optional<LPARAM> lParam = std::nullopt, HWND wnd = nullptr) {
    return {msg, WmHow::Posted, wParam, lParam, wnd};
}

class WmRecorder {
public:
    static constexpr const char* ClassName = "WmRecorded";
    static constexpr const char* DoubleClickClassName = "WmRecordedDbl";

    WmRecorder() {
        Current() = this;
        static const bool registered = [] {
            auto procedure = [](HWND w, TMessage& m) { Current()->OnMessage(w, m); };
            RegisterClass({ClassName, 0, procedure, nullptr, nullptr});
            RegisterClass({DoubleClickClassName, CS_DBLCLKS, procedure, nullptr, nullptr});
            return true;
        }();
        (void)registered;
    }
    ~WmRecorder() {
        for (HWND w : Created)
            if (IsWindow(w)) DestroyWindow(w);
        Current() = nullptr;
    }

    // A handler sees each message after it is recorded; returning false passes
    // it to DefWindowProc.
    std::function<bool(HWND, TMessage&)> Handler;
    std::vector<WmRecord> Records;

    HWND Create(DWORD style, const TRect& bounds, HWND parent = nullptr, DWORD exStyle = 0,
                const char* className = ClassName, const std::string& text = "") {
        HWND w = CreateWindowEx(exStyle, className, text, style, bounds.Left, bounds.Top, bounds.Width(),
                                bounds.Height(), parent);
        Created.push_back(w);
        return w;
    }

    void Clear() { Records.clear(); }

    // The recorded messages whose numbers appear in `expected`, compared in order.
    void Expect(const std::vector<WmExpected>& expected, const std::string& what) const {
        std::set<UINT> watched;
        for (const auto& e : expected)
            watched.insert(e.Msg);
        std::vector<WmRecord> seen;
        for (const auto& r : Records)
            if (watched.count(r.Msg)) seen.push_back(r);
        ASSERT_EQ(seen.size(), expected.size()) << what << ": " << Describe(seen);
        for (size_t i = 0; i < expected.size(); ++i) {
            const WmExpected& e = expected[i];
            const WmRecord& r = seen[i];
            EXPECT_EQ(r.Msg, e.Msg) << what << " #" << i << ": " << Describe(seen);
            if (e.How != WmHow::Either) {
                EXPECT_EQ(r.Posted, e.How == WmHow::Posted) << what << " #" << i;
            }
            if (e.WParam) {
                EXPECT_EQ(r.WParam, *e.WParam) << what << " #" << i << " wParam";
            }
            if (e.LParam) {
                EXPECT_EQ(r.LParam, *e.LParam) << what << " #" << i << " lParam";
            }
            if (e.Wnd) {
                EXPECT_EQ(r.Wnd, e.Wnd) << what << " #" << i << " window";
            }
        }
    }

    std::vector<WmRecord> Of(UINT msg) const {
        std::vector<WmRecord> out;
        for (const auto& r : Records)
            if (r.Msg == msg) out.push_back(r);
        return out;
    }

private:
    static WmRecorder*& Current() {
        static WmRecorder* current = nullptr;
        return current;
    }

    void OnMessage(HWND w, TMessage& m) {
        Records.push_back({w, m.Msg, platform_ui::test::CurrentMessageWasPosted(), m.WParam, m.LParam});
        if (Handler && Handler(w, m)) return;
        DefWindowProc(w, m);
    }

    static std::string Describe(const std::vector<WmRecord>& records) {
        std::string s;
        char buffer[64];
        for (const auto& r : records) {
            std::snprintf(buffer, sizeof buffer, "[%04X %s %lX %lX] ", r.Msg, r.Posted ? "P" : "S",
                          static_cast<unsigned long>(r.WParam), static_cast<unsigned long>(r.LParam));
            s += buffer;
        }
        return s;
    }

    std::vector<HWND> Created;
};

// Qt answers activation requests late; lets it answer before the next step.
inline void SettleActivation() {
    for (int i = 0; i < 3; ++i) {
        platform_ui::test::PumpQt(5);
        ProcessMessages();
    }
}

inline LPARAM WmPoint(int x, int y) {
    return PointToLParam({x, y});
}
