// List boxes (single or multi-select) and drop-down combo boxes over LISTBOX and COMBOBOX.
#pragma once
#include <string>
#include <vector>

#include "ui/Control.h"

namespace bw::ui {

class ListBox : public Control {
public:
    enum class Select { Single, Extended, Multi };
    explicit ListBox(Select select = Select::Single) : select_(select) {}

    std::function<void()> onClick;     // selection changed
    std::function<void()> onDblClick;

    void AddItem(const std::string& text);
    // Appends `lines` in order in one go, for lists of any length: room for them all is made
    // first (LB_INITSTORAGE with their count and total size), and a visible list is not redrawn
    // line by line (WM_SETREDRAW off, then on again and the list invalidated once). The
    // selection and the top line stay as they were. Stops at the first line the list refuses
    // (out of memory). Lines added one by one with AddItem on a shown list each repaint it.
    void AddItems(const std::vector<std::string>& lines);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    std::string List(int index) const;  // empty for an index out of range
    bool Selected(int index) const;
    void SetSelected(int index, bool on);
    int ListIndex() const;              // -1 when nothing is selected
    void SetListIndex(int index);       // also scrolls it into view
    int TopIndex() const;
    void OnCommand(WORD code) override;

protected:
    const char* ClassName() const override { return "LISTBOX"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }

private:
    Select select_;
};

class ComboBox : public Control {
public:
    std::function<void()> onChange;  // selection changed
    void AddItem(const std::string& text);
    void Clear();
    int ListCount() const;
    std::string List(int index) const;
    int ListIndex() const;
    void SetListIndex(int index);
    std::string Text() const;
    void OnCommand(WORD code) override;

protected:
    const char* ClassName() const override { return "COMBOBOX"; }
    DWORD Style() const override { return WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; }
};

}  // namespace bw::ui
