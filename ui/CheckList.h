// A list of lines with a check box each, over the standard list view (report view, one column,
// check boxes): keyboard (arrows, space) and screen readers reach every line and its state.
// Lines without a check box serve as group headings.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace bw::ui {

class CheckList : public Control {
public:
    struct Line {
        std::string text;
        bool checkable = true;  // false: a heading, no check box
        bool checked = false;
    };
    // Asked when the user changes a line's check box (`index`, the state asked for); returning
    // false keeps the line as it was. Not called for SetChecked.
    std::function<bool(int index, bool checked)> onCheck;

    // Replaces every line (drawing held off while they are added).
    void SetLines(const std::vector<Line>& lines);
    int ListCount() const;
    std::string List(int index) const;
    bool Checked(int index) const;
    void SetChecked(int index, bool on);
    // Changes a line's check box as a user would (space on it): onCheck decides.
    void Toggle(int index);

    LRESULT OnNotify(NMHDR* hdr) override;

protected:
    const char* ClassName() const override;
    DWORD Style() const override;
    void AfterCreate() override;

private:
    std::vector<Line> lines_;
    bool setting_ = false;  // a change made by SetLines or SetChecked, not by the user
    void Fill();
};

}  // namespace bw::ui
