// The program's global window objects: each is created on first use and lives until the
// program ends; unloading one destroys its window, and the next use loads it afresh.
#pragma once
#include <memory>

namespace bw::ui {

template <class F>
struct FormSlot {
    static inline std::unique_ptr<F> form;
};

// The window object, created when first asked for (not loaded: Show or Load does that).
template <class F>
F& Get() {
    auto& form = FormSlot<F>::form;
    if (!form) form = std::make_unique<F>();
    return *form;
}

// True when the window exists and is loaded.
template <class F>
bool IsLoaded() {
    return FormSlot<F>::form && FormSlot<F>::form->IsLoaded();
}

// Unloads the window when it exists; creates nothing.
template <class F>
void Unload() {
    if (FormSlot<F>::form) FormSlot<F>::form->Unload();
}

// Drops the window object altogether (tests start each case from a fresh one).
template <class F>
void Release() {
    if (FormSlot<F>::form) FormSlot<F>::form->Unload();
    FormSlot<F>::form.reset();
}

}  // namespace bw::ui
