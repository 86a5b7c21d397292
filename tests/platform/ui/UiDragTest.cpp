// Dragging between controls with real mouse and key input: which CM_DRAG
// messages each control hears (enter, move, leave, then the drop or the
// cancel), the threshold, Escape, the cursor over a control that refuses and
// over no control, and what the source hears at the end.
#include "UiTestSupport.h"
#include "WmRecorder.h"

#include "platform/ui/Cursors.h"
#include "platform/ui/Drag.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

using namespace uitest;
using namespace platform_ui::test;

namespace {

enum class Where { Source, Taker, Refuser, Outside };
enum class Action { Move, Release, Escape };

struct Step {
    Action What;
    Where Over = Where::Source;
    TPoint At{}; // client coordinates of Over
};

using Heard = std::vector<std::pair<Where, TDragMessage>>;

struct DragCase {
    const char* Name;
    TDragMode Mode;
    std::vector<Step> Steps;
    Heard Messages; // CM_DRAG without dmFindTarget
    std::optional<TCursor> CursorBeforeTheEnd;
    std::optional<Where> EndTarget; // nullopt: the drag ended without a target
};

class UiDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(30, 30, 400, 200);
        Source = AddPanel(Bounds(10, 10, 100, 80));
        Taker = AddPanel(Bounds(140, 10, 100, 80));
        Refuser = AddPanel(Bounds(270, 10, 100, 80));
        Taker->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
        Taker->OnDragDrop = [this](TObject*, TObject* source, int, int) { DroppedSource = source; };
        Source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
            if (Source->DragMode() == dmManual) Source->BeginDrag(false);
        };
        Source->OnEndDrag = [this](TObject*, TObject* target, int x, int y) {
            ++Ends;
            EndTarget = target;
            EndPoint = {x, y};
        };
        Form->Show();
        PumpQt(20);
        Source->SetFocus();
        ProcessMessages();
    }
    void TearDown() override { delete Form; }

    TPanel* AddPanel(const TRect& bounds) {
        auto* panel = new TPanel(Form);
        panel->SetParent(Form);
        panel->SetBoundsRect(bounds);
        HWND wnd = panel->Handle();
        TWndMethod inherited = panel->WindowProc;
        panel->WindowProc = [this, wnd, inherited](TMessage& m) {
            if (m.Msg == CM_DRAG && m.WParam != dmFindTarget)
                Recorder.Records.push_back({wnd, m.Msg, false, m.WParam, 0});
            inherited(m);
        };
        return panel;
    }

    TControl* ControlAt(Where where) const {
        switch (where) {
        case Where::Source:
            return Source;
        case Where::Taker:
            return Taker;
        case Where::Refuser:
            return Refuser;
        case Where::Outside:
            break;
        }
        return nullptr;
    }

    // A point of a control (or far right of the form) in the form's window coordinates.
    TPoint FormPoint(Where where, TPoint at) const {
        TRect frame;
        GetWindowRect(Form->Handle(), frame);
        const TPoint screen =
            where == Where::Outside ? TPoint{frame.Right + 300, frame.Top + 40} : ControlAt(where)->ClientToScreen(at);
        return {screen.X - frame.Left, screen.Y - frame.Top};
    }

    void Press(TPoint at) {
        SendQtMouse(Source->Handle(), TMouseEventKind::Press, at, MK_LBUTTON, MK_LBUTTON);
        ProcessMessages();
    }
    void Run(const Step& step) {
        switch (step.What) {
        case Action::Move:
            SendQtMouse(Form->Handle(), TMouseEventKind::Move, FormPoint(step.Over, step.At), 0, MK_LBUTTON);
            break;
        case Action::Release:
            SendQtMouse(Form->Handle(), TMouseEventKind::Release, FormPoint(step.Over, step.At), MK_LBUTTON, 0);
            break;
        case Action::Escape:
            SendQtKey(Source->Handle(), VK_ESCAPE, 0, "\x1b");
            break;
        }
        ProcessMessages();
    }

    TForm* Form = nullptr;
    TPanel* Source = nullptr;
    TPanel* Taker = nullptr;
    TPanel* Refuser = nullptr;
    WmRecorder Recorder;
    int Ends = 0;
    TObject* EndTarget = nullptr;
    TPoint EndPoint{};
    TObject* DroppedSource = nullptr;
};

TEST_F(UiDragTest, TargetsHearTheDragAndTheSourceItsEnd) {
    const TPoint start{20, 20};
    const auto dropAt = [](Where over, TPoint at) {
        return std::vector<Step>{{Action::Move, over, at}, {Action::Release, over, at}};
    };
    // What a control hears when the pointer enters it once and the drag ends there.
    const auto visit = [](Where over, TDragMessage end) {
        return Heard{{over, dmDragEnter}, {over, dmDragMove}, {over, dmDragLeave}, {over, end}};
    };
    Heard refusedThenTaken = visit(Where::Refuser, dmDragLeave);
    refusedThenTaken.pop_back();
    for (const auto& heard : visit(Where::Taker, dmDragDrop))
        refusedThenTaken.push_back(heard);
    const DragCase cases[] = {
        {"drop on a control that accepts",
         dmManual,
         {{Action::Move, Where::Taker, {10, 10}},
          {Action::Move, Where::Taker, {12, 14}},
          {Action::Release, Where::Taker, {12, 14}}},
         {{Where::Taker, dmDragEnter},
          {Where::Taker, dmDragMove},
          {Where::Taker, dmDragMove},
          {Where::Taker, dmDragLeave},
          {Where::Taker, dmDragDrop}},
         crDrag,
         Where::Taker},
        {"4 pixels stay below the threshold",
         dmManual,
         {{Action::Move, Where::Source, {24, 20}},
          {Action::Move, Where::Source, {20, 16}},
          {Action::Release, Where::Source, {20, 16}}},
         {},
         std::nullopt,
         std::nullopt},
        {"5 pixels start it", dmManual, dropAt(Where::Source, {25, 20}), visit(Where::Source, dmDragCancel), crNoDrop,
         std::nullopt},
        {"automatic mode starts at the press",
         dmAutomatic,
         {{Action::Release, Where::Source, {20, 20}}},
         visit(Where::Source, dmDragCancel),
         crNoDrop,
         std::nullopt},
        {"Escape cancels",
         dmManual,
         {{Action::Move, Where::Taker, {10, 10}}, {Action::Escape}, {Action::Release, Where::Taker, {10, 10}}},
         visit(Where::Taker, dmDragCancel),
         std::nullopt,
         std::nullopt},
        {"from a refusing control to one that accepts",
         dmManual,
         {{Action::Move, Where::Refuser, {10, 10}},
          {Action::Move, Where::Taker, {30, 30}},
          {Action::Release, Where::Taker, {30, 30}}},
         refusedThenTaken,
         crDrag,
         Where::Taker},
        {"dropped on a control that refuses", dmManual, dropAt(Where::Refuser, {10, 10}),
         visit(Where::Refuser, dmDragCancel), crNoDrop, std::nullopt},
        {"no control under the pointer", dmManual, dropAt(Where::Outside, {}), {}, crNoDrop, std::nullopt},
    };
    for (const DragCase& c : cases) {
        Recorder.Clear();
        Ends = 0;
        EndTarget = DroppedSource = nullptr;
        Source->SetDragMode(c.Mode);
        const HCURSOR before = GetCursor();
        Press(start);
        for (size_t i = 0; i < c.Steps.size(); ++i) {
            if (i + 1 == c.Steps.size() && c.CursorBeforeTheEnd) {
                EXPECT_EQ(GetCursor(), Screen->Cursors(*c.CursorBeforeTheEnd)) << c.Name;
            }
            Run(c.Steps[i]);
        }
        std::vector<WmExpected> expected;
        for (const auto& [where, message] : c.Messages)
            expected.push_back(
                Sent(CM_DRAG, message, std::nullopt, static_cast<TWinControl*>(ControlAt(where))->Handle()));
        Recorder.Expect(expected, c.Name);

        EXPECT_FALSE(Source->Dragging()) << c.Name;
        EXPECT_EQ(Ends, 1) << c.Name << ": the source hears the end once";
        EXPECT_EQ(EndTarget, c.EndTarget ? ControlAt(*c.EndTarget) : nullptr) << c.Name;
        EXPECT_EQ(GetCursor(), before) << c.Name << ": the cursor is given back";
        EXPECT_NE(GetCapture(), Source->Handle()) << c.Name;
        if (c.EndTarget) {
            EXPECT_EQ(DroppedSource, Source) << c.Name << ": the control is the source";
            const Step& last = c.Steps.back();
            EXPECT_EQ(EndPoint.X, last.At.X) << c.Name << ": the drop point in the target's client coordinates";
            EXPECT_EQ(EndPoint.Y, last.At.Y) << c.Name;
        } else {
            EXPECT_EQ(DroppedSource, nullptr) << c.Name;
        }
    }
}

// A target that keeps the drag object while the drag is over it can let it
// go when the source is freed.
TEST_F(UiDragTest, ATargetHearsTheDragEndWhenTheSourceGoes) {
    Source->SetDragMode(dmAutomatic);
    Press({20, 20});
    const HWND source = Source->Handle();
    Recorder.Clear();
    Run({Action::Move, Where::Taker, {10, 10}});
    delete Source;
    Source = nullptr;
    Run({Action::Move, Where::Taker, {12, 12}});
    const HWND taker = Taker->Handle();
    Recorder.Expect({Sent(CM_DRAG, dmDragLeave, std::nullopt, source), Sent(CM_DRAG, dmDragEnter, std::nullopt, taker),
                     Sent(CM_DRAG, dmDragMove, std::nullopt, taker), Sent(CM_DRAG, dmDragLeave, std::nullopt, taker),
                     Sent(CM_DRAG, dmDragCancel, std::nullopt, taker)},
                    "the source freed over the taker");
}

} // namespace
