// The drag protocol between controls. The source's window takes the capture
// and a window procedure pushed on it turns the pointer's moves into CM_DRAG
// for the control under the pointer and its release into the drop; a key hook
// lets Escape cancel whichever window has the focus. Nothing here goes through
// Qt's drag and drop.
#include "platform/ui/Drag.h"

#include "platform/ui/Cursors.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "platform/ui/private/Controls_p.h"

#include <cstdlib>
#include <memory>

namespace {

// How far the pointer moves before a drag that was not immediate begins.
constexpr int DefaultDragThreshold = 5;

struct DragSession {
    TControl* Control = nullptr; // the source
    TDragObject* Object = nullptr;
    std::unique_ptr<TDragObject> OwnObject; // made here when the source made none
    HWND Capture = nullptr;
    TWindowProcedureId CaptureProcedure = 0;
    TKeyMessageHook PreviousKeyHook;
    TPoint StartPos{};
    int Threshold = DefaultDragThreshold;
    bool Active = false; // the threshold was passed: targets hear of the drag
    TDragImageList* Images = nullptr;
    HCURSOR SavedCursor = nullptr;
};

DragSession& Session() {
    static DragSession session;
    return session;
}

HWND WindowOfControl(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
        if (auto* win = dynamic_cast<TWinControl*>(c)) return win->Handle();
    return nullptr;
}

} // namespace

// The steps of a drag, friends of TDragObject.
struct DragProtocol {
    static LRESULT Send(HWND Wnd, TDragMessage Msg, TDragObject* Source, TControl* Target, TPoint Pos) {
        TDragRec rec{Pos, Source, Target};
        return SendMessage(Wnd, CM_DRAG, Msg, reinterpret_cast<LPARAM>(&rec));
    }

    // The control under a screen point that may take a drop, and the window
    // that CM_DRAG goes to for it.
    static TControl* FindTarget(TPoint Pos, HWND& Handle) {
        Handle = WindowFromPoint(Pos);
        TWinControl* control = nullptr;
        while (Handle && !(control = FindControl(Handle)))
            Handle = GetParent(Handle);
        if (!control) return nullptr;
        TDragRec rec{Pos, Session().Object, nullptr};
        return reinterpret_cast<TControl*>(control->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<LPARAM>(&rec)));
    }

    // Enter, move or leave for the current target; whether it accepts.
    static bool DragOver(TDragMessage Msg) {
        TDragObject* object = Session().Object;
        if (!object || !object->FDragTarget) return false;
        return Send(object->FDragHandle, Msg, object, object->FDragTarget, object->FDragPos) != 0;
    }

    static void DragTo(TPoint Pos) {
        DragSession& s = Session();
        if (!s.Object) return;
        if (!s.Active && std::abs(Pos.X - s.StartPos.X) < s.Threshold && std::abs(Pos.Y - s.StartPos.Y) < s.Threshold)
            return;
        s.Active = true;
        HWND handle = nullptr;
        TControl* target = FindTarget(Pos, handle);
        if (target != s.Object->FDragTarget) {
            DragOver(dmDragLeave);
            if (!s.Object) return;
            s.Object->FDragTarget = target;
            s.Object->FDragHandle = handle;
            s.Object->FDragPos = Pos;
            DragOver(dmDragEnter);
            if (!s.Object) return;
        }
        s.Object->FDragPos = Pos;
        if (s.Object->FDragTarget) s.Object->FDragTargetPos = s.Object->FDragTarget->ScreenToClient(Pos);
        const bool accepted = DragOver(dmDragMove);
        if (!s.Object) return;
        ShowCursor(s.Object->GetDragCursor(accepted, Pos.X, Pos.Y), Pos);
    }

    // The picture shows over controls that ask for it and where none is;
    // elsewhere only the cursor does.
    static void ShowCursor(TCursor Cursor, TPoint Pos) {
        DragSession& s = Session();
        TControl* target = s.Object->FDragTarget;
        if (!s.Images || (target && !target->ControlStyle().Contains(csDisplayDragImage))) {
            if (s.Images) s.Images->EndDrag();
            SetCursor(Screen->Cursors(Cursor));
            return;
        }
        s.Images->SetDragCursor(Cursor);
        SetCursor(Screen->Cursors(Cursor));
        if (!s.Images->Dragging())
            s.Images->BeginDrag(nullptr, Pos.X, Pos.Y);
        else
            s.Images->DragMove(Pos.X, Pos.Y);
    }

    // Takes the capture procedure and the key hook off again.
    static void Detach() {
        DragSession& s = Session();
        if (s.CaptureProcedure) RemoveWindowProc(s.Capture, s.CaptureProcedure);
        s.CaptureProcedure = 0;
        if (GetCapture() == s.Capture) ReleaseCapture();
        s.Capture = nullptr;
        SetKeyMessageHook(std::move(s.PreviousKeyHook));
        s.PreviousKeyHook = nullptr;
    }

    static void DragDone(bool Drop) {
        DragSession& s = Session();
        TDragObject* object = s.Object;
        if (!object || object->FCancelling) return;
        object->FCancelling = true;
        object->FDropped = Drop;
        Detach();
        TPoint targetPos = object->FDragTarget ? object->FDragTargetPos : object->FDragPos;
        // The leave goes out on every end, so the target can take its feedback
        // off; a drop needs its yes too.
        const bool accepted = s.Active && DragOver(dmDragLeave) && Drop;
        if (s.Images) s.Images->EndDrag();
        SetCursor(s.SavedCursor);
        std::unique_ptr<TDragObject> own = std::move(s.OwnObject);
        s = DragSession{};
        if (object->FDragTarget) {
            if (!accepted) {
                object->FDragPos = {};
                targetPos = {};
            }
            Send(object->FDragHandle, accepted ? dmDragDrop : dmDragCancel, object, object->FDragTarget,
                 object->FDragPos);
        }
        object->FCancelling = false;
        object->Finished(accepted ? object->FDragTarget : nullptr, targetPos.X, targetPos.Y, accepted);
    }

    static void CaptureMessage(HWND Wnd, TMessage& m) {
        switch (m.Msg) {
        case WM_MOUSEMOVE: {
            TPoint p = PointFromLParam(m.LParam);
            ClientToScreen(Wnd, p);
            DragTo(p);
            return;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            DragDone(true);
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            return;
        case WM_CAPTURECHANGED:
            DragDone(false);
            return;
        default:
            CallNextWindowProc(Wnd, Session().CaptureProcedure, m);
            return;
        }
    }

    static void Begin(TControl* Control, bool Immediate, int Threshold) {
        DragSession& s = Session();
        s.Control = Control;
        TDragObject* object = nullptr;
        Control->DoStartDrag(object);
        if (s.Control != Control) return; // the start handler ended it
        if (!object) {
            s.OwnObject = std::make_unique<TDragControlObject>(Control);
            object = s.OwnObject.get();
            object->FMadeForControl = true;
        }
        s.Object = object;
        GetCursorPos(s.StartPos);
        object->FDragPos = s.StartPos;
        object->FDragTarget = nullptr;
        s.Threshold = Threshold;
        s.Images = object->GetDragImages();
        s.SavedCursor = GetCursor();
        s.Capture = WindowOfControl(Control);
        s.CaptureProcedure = PushWindowProc(s.Capture, [](HWND w, TMessage& m) { CaptureMessage(w, m); });
        SetCapture(s.Capture);
        s.PreviousKeyHook = SetKeyMessageHook([](const TMessage& m, HWND focus) {
            if (m.Msg == WM_KEYDOWN && m.WParam == VK_ESCAPE) {
                DragDone(false);
                return true;
            }
            const TKeyMessageHook& previous = Session().PreviousKeyHook;
            return previous ? previous(m, focus) : false;
        });
        if (Immediate) {
            s.Active = true;
            DragTo(s.StartPos);
        }
    }

    // A drag made for a control shows that control as the source.
    static TObject* SourceOf(TDragObject* Object) {
        if (auto* made = dynamic_cast<TDragControlObject*>(Object); made && made->FMadeForControl)
            return made->Control();
        return Object;
    }

    static void ControlGone(TControl* Control) {
        DragSession& s = Session();
        if (s.Object && s.Object->FDragTarget == Control) s.Object->FDragTarget = nullptr;
        if (s.Control != Control) return;
        // The source cannot hear of the end any more; its window is going too.
        if (s.Object) Detach();
        // The images may have gone with the control already.
        if (s.Images) ImageList_EndDrag();
        SetCursor(s.SavedCursor);
        s = DragSession{};
    }
};

void TDragObject::HideDragImage() {
    if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage() {
    if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

TDragImageList* TDragControlObject::GetDragImages() {
    return FControl->GetDragImages();
}

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? crDrag : crNoDrop;
}

void TDragObject::Finished(TObject*, int, int, bool) {}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? FControl->DragCursor() : crNoDrop;
}

void TDragControlObject::Finished(TObject* Target, int X, int Y, bool) {
    FControl->DoEndDrag(Target, X, Y);
}

void CancelDrag() {
    DragProtocol::DragDone(false);
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (Session().Control) return;
    // The press that led here is over as far as the control's click goes.
    if (FControlState.Contains(csLButtonDown)) {
        TPoint p;
        GetCursorPos(p);
        p = ScreenToClient(p);
        Perform(WM_LBUTTONUP, 0, MakeLParam(static_cast<Word>(p.X), static_cast<Word>(p.Y)));
    }
    DragProtocol::Begin(this, Immediate, Threshold < 0 ? DefaultDragThreshold : Threshold);
}

bool TControl::Dragging() const {
    return Session().Control == this;
}

void TControl::EndDrag(bool Drop) {
    if (Dragging()) DragProtocol::DragDone(Drop);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::HandleDragMessage(TMessage& m) {
    auto& rec = *reinterpret_cast<TDragRec*>(m.LParam);
    switch (m.WParam) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove:
    case dmDragDrop:
        if (rec.Target) rec.Target->DoDragMsg(m);
        break;
    case dmFindTarget: {
        TControl* found = nullptr;
        if (auto* win = dynamic_cast<TWinControl*>(this)) found = win->ControlAtPos(ScreenToClient(rec.Pos), false);
        m.Result = reinterpret_cast<LRESULT>(found ? found : this);
        break;
    }
    default:
        break;
    }
}

void TControl::DoDragMsg(TMessage& m) {
    const auto& rec = *reinterpret_cast<const TDragRec*>(m.LParam);
    TObject* source = DragProtocol::SourceOf(rec.Source);
    const TPoint p = ScreenToClient(rec.Pos);
    if (m.WParam == dmDragDrop) {
        DragDrop(source, p.X, p.Y);
        return;
    }
    bool accept = true;
    DragOver(source, p.X, p.Y, static_cast<TDragState>(m.WParam), accept);
    m.Result = accept;
}

namespace platform_ui {

void DragControlGone(TControl* control) {
    DragProtocol::ControlGone(control);
}

} // namespace platform_ui
