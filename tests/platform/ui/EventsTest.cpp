// How events reach their handlers: a handler may free its sender while it
// runs, and what a change event throws reaches the code that made the change,
// while the user's typing keeps it inside the exception boundary.
#include "UiTestSupport.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Mask.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>

using namespace uitest;

namespace {

// Knows whether the closure holding it is still alive: a handler asks after it
// freed its sender, which may have freed the event it runs from.
class ClosureWitness {
public:
    ClosureWitness() { Live().insert(this); }
    ClosureWitness(const ClosureWitness&) { Live().insert(this); }
    ClosureWitness& operator=(const ClosureWitness&) = default;
    ~ClosureWitness() { Live().erase(this); }
    bool Alive() const { return Live().count(this) != 0; }

private:
    static std::set<const ClosureWitness*>& Live() {
        static std::set<const ClosureWitness*> live;
        return live;
    }
};

struct FormFixture {
    TForm* Form = nullptr;
    FormFixture() {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(10, 10, 300, 200);
    }
    ~FormFixture() { delete Form; }
};

} // namespace

TEST(Events, AHandlerMayFreeItsSender) {
    struct Case {
        const char* Name;
        // Makes the sender on the form, gives Handler to its event and
        // returns what fires it (nothing for a timer: the loop does).
        std::function<std::function<void()>(TForm* form, TNotifyEvent Handler)> Arm;
    };
    const Case cases[] = {
        {"button click",
         [](TForm* form, TNotifyEvent handler) -> std::function<void()> {
             auto* button = new TButton(form);
             button->SetParent(form);
             button->OnClick = std::move(handler);
             return [button] { button->Click(); };
         }},
        {"one-shot timer",
         [](TForm* form, TNotifyEvent handler) -> std::function<void()> {
             auto* timer = new TTimer(form);
             timer->SetInterval(10);
             timer->OnTimer = std::move(handler);
             return [] {};
         }},
        {"menu item click",
         [](TForm* form, TNotifyEvent handler) -> std::function<void()> {
             auto* item = new TMenuItem(form);
             item->OnClick = std::move(handler);
             return [item] { item->Click(); };
         }},
        {"action execute",
         [](TForm* form, TNotifyEvent handler) -> std::function<void()> {
             auto* action = new TAction(form);
             action->OnExecute = std::move(handler);
             return [action] { action->Execute(); };
         }},
    };
    for (const Case& c : cases) {
        FormFixture f;
        bool ran = false;
        bool closureAlive = false;
        const std::function<void()> fire =
            c.Arm(f.Form, [witness = ClosureWitness(), &ran, &closureAlive](TObject* sender) {
                delete sender;
                closureAlive = witness.Alive();
                ran = true;
            });
        f.Form->Show();
        fire();
        for (int i = 0; i < 50 && !ran; ++i) {
            platform_ui::test::PumpQt(10);
            ProcessMessages();
        }
        EXPECT_TRUE(ran) << c.Name;
        EXPECT_TRUE(closureAlive) << c.Name;
        EXPECT_EQ(f.Form->ComponentCount(), 0) << c.Name;
    }
}

TEST(Events, ChangeEventsThrowToTheCodeThatChangedTheText) {
    struct Case {
        const char* Name;
        // Makes the control, without a parent, with Handler as its OnChange.
        std::function<TWinControl*(TForm* form, TNotifyEvent Handler)> Make;
    };
    const Case cases[] = {
        {"edit",
         [](TForm* form, TNotifyEvent handler) -> TWinControl* {
             auto* edit = new TEdit(form);
             edit->OnChange = std::move(handler);
             return edit;
         }},
        {"masked edit",
         [](TForm* form, TNotifyEvent handler) -> TWinControl* {
             auto* edit = new TMaskEdit(form);
             edit->SetEditMask("0000;0;_");
             edit->OnChange = std::move(handler);
             return edit;
         }},
        {"memo",
         [](TForm* form, TNotifyEvent handler) -> TWinControl* {
             auto* memo = new TMemo(form);
             memo->OnChange = std::move(handler);
             return memo;
         }},
    };
    const std::function<void()> throws[] = {[] { throw EAbort("veto"); }, [] { throw std::runtime_error("bad"); }};
    for (const Case& c : cases)
        for (size_t k = 0; k < std::size(throws); ++k) {
            const bool abort = k == 0;
            SCOPED_TRACE(std::string(c.Name) + (abort ? ", EAbort" : ", another exception"));
            DialogRecorder boxes;
            FormFixture f;
            TWinControl* control = c.Make(f.Form, [&](TObject*) { throws[k](); });
            control->SetParent(f.Form);
            control->SetBounds(8, 8, 150, 40);
            f.Form->Show();
            control->SetFocus();
            // Typed: the boundary takes it, and shows it unless it is an abort.
            EXPECT_NO_THROW(TypeText(control, "2"));
            EXPECT_EQ(boxes.Count(TDialogKind::MessageBox), abort ? 0 : 1);
            // By code, with a window and without one: the caller gets it.
            EXPECT_ANY_THROW(control->SetText("1"));
            TWinControl* windowless = c.Make(f.Form, [&](TObject*) { throws[k](); });
            EXPECT_ANY_THROW(windowless->SetText("1"));
            EXPECT_EQ(boxes.Count(TDialogKind::MessageBox), abort ? 0 : 1);
        }
}
