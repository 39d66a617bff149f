// List boxes (single or multi-select) and drop-down combo boxes over LISTBOX and COMBOBOX.
// A list that draws its own lines sets LBS_OWNERDRAWFIXED in its style and overrides
// Control::OnDrawItem, which its form hands WM_DRAWITEM to.
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
    // line by line (WM_SETREDRAW off, then on again and the list invalidated once). A list that
    // is hidden, or whose drawing the caller already holds off, is left as it was. The selection
    // and the top line stay as they were. Stops at the first line the list refuses (out of
    // memory) and returns how many lines it added. Lines added one by one with AddItem on a
    // shown list each repaint it.
    size_t AddItems(const std::vector<std::string>& lines);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    std::string List(int index) const;  // empty for an index out of range
    bool Selected(int index) const;
    void SetSelected(int index, bool on);
    int ListIndex() const;              // -1 when nothing is selected
    // Also scrolls it into view; `notify` runs onClick.
    void SetListIndex(int index, bool notify = true);
    int TopIndex() const;
    // Multi-select lists: selects or clears every line at once. Nothing for a single-select list.
    void SelectAll(bool on);
    // The selected lines, in ascending order.
    std::vector<int> SelectedIndexes() const;
    // How far, in pixels, the list scrolls sideways (LB_SETHORIZONTALEXTENT).
    void SetHorizontalExtent(int pixels);
    int HorizontalExtent() const;
    // The widest of `lines` in pixels, in the list's font; 0 without a window.
    int TextWidth(const std::vector<std::string>& lines) const;
    // For lists of long lines that differ at their ends (paths in one folder): lets the list
    // scroll sideways over its widest line, and scrolls it so that the lines' ends show.
    void ShowLineEnds();
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
    // `notify` runs onChange.
    void SetListIndex(int index, bool notify = true);
    std::string Text() const;
    void OnCommand(WORD code) override;

protected:
    const char* ClassName() const override { return "COMBOBOX"; }
    DWORD Style() const override { return WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; }
};

}  // namespace bw::ui
