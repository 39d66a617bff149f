// A list box whose lines may each carry a bar below their text, as long as a share of a whole
// (what each item of a preview frees of the total), and a closing line set apart by a rule. A
// LISTBOX that draws its own lines but keeps their text, so screen readers and LB_GETTEXT read
// every line as it is written.
#pragma once
#include <string>
#include <vector>

#include "ui/Lists.h"

namespace bw::ui {

class BarList : public ListBox {
public:
    struct Row {
        std::string text;
        double share = -1;   // 0..1 of the whole: a bar; below 0: none
        bool total = false;  // the closing line
    };
    // Replaces every line with `rows`, in their order; the lines grow to make room for the bars
    // until the list is next cleared. Lines added with AddItem are plain lines.
    void SetRows(const std::vector<Row>& rows);
    // The share line `index` draws its bar for; below 0 for a plain or closing line.
    double Share(int index) const;

    bool OnDrawItem(DRAWITEMSTRUCT* dis) override;

protected:
    DWORD Style() const override { return ListBox::Style() | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS; }
    void AfterCreate() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    int textHeight_ = 0;  // of the list's font
};

}  // namespace bw::ui
