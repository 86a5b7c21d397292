// A window made for one showing: created into its global on construction,
// freed and the global cleared however the showing ends.
#pragma once

#include "platform/ui/Forms.h"

template <class T> class TOneUseForm {
public:
    explicit TOneUseForm(T*& Global, TComponent* Owner = nullptr) : FGlobal(Global) {
        CreateFormInstance(Global, Owner);
    }
    ~TOneUseForm() {
        delete FGlobal;
        FGlobal = nullptr;
    }
    TOneUseForm(const TOneUseForm&) = delete;
    TOneUseForm& operator=(const TOneUseForm&) = delete;

    T* operator->() const { return FGlobal; }
    T& operator*() const { return *FGlobal; }

private:
    T*& FGlobal;
};
